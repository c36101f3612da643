#pragma once
// A line chart of a few series against one variable, drawn with cairo and
// saved as PNG: framed axes with rounded ticks and their labels, the axis
// captions, a title and a legend. Missing values (NaN) break a line.

#include <string>
#include <vector>

#include "common/AtomicFile.h"

namespace torvane {

struct CurveSeries {
  std::string label;
  std::vector<double> y;  // one per x
  double red = 0, green = 0, blue = 0;
  bool dashed = false;
};

struct CurveChart {
  std::string title;
  std::string x_caption;
  std::string y_caption;
  std::vector<double> x;
  std::vector<CurveSeries> series;
  int width = 900;
  int height = 560;
};

// Writes the chart into `file` as PNG and completes it, for the caller to put
// in place with the sweep's other outputs. False when it could not be drawn
// or written (the file is then abandoned).
bool WriteCurvePlot(AtomicFile& file, const CurveChart& chart);
// The chart alone, replacing a file of that name only when complete.
bool WriteCurvePlot(const std::string& path, const CurveChart& chart);

// Rounded tick positions (steps of 1, 2 or 5 times a power of ten) covering
// [low, high] with about `wanted` ticks; low and high are widened to the
// outer ticks.
std::vector<double> NiceTicks(double& low, double& high, int wanted);

}  // namespace torvane
