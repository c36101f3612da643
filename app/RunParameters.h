#pragma once
// Everything one run takes from the window, filled when Calc passes its checks.

#include <string>

#include "points/PointLine.h"

namespace torvane {

struct RunParameters {
  std::string input_path;
  std::string output_path;
  double search_radius = 0;  // R, metres
  double depth_band = 0;     // D, metres; kept from the last point-mode run in grid mode
  double cell_size = 0;      // the cluster's cells, always R
  // The previews' node step, gridding radius and reach, all R.
  double preview_step = 0;
  double preview_radius = 0;
  double preview_reach = 0;
  PointColumns columns;  // from the four column lists
};

}  // namespace torvane
