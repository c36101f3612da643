#pragma once
// Everything one run takes from the window, filled when Calc passes its checks.

#include <cstdint>
#include <optional>
#include <string>

#include "points/ColumnNames.h"
#include "points/GravityReduction.h"
#include "points/PointLine.h"
#include "points/SurveyProjection.h"
#include "residual/RingQuality.h"

namespace torvane {

struct RunParameters {
  std::string input_path;
  std::string output_path;
  double search_radius = 0;  // R, metres
  double depth_band = 0;     // D, metres; kept from the last point-mode run in grid mode
  double cell_size = 0;      // the cluster's cells: the preview's node step
  // The previews' node step, gridding radius and reach: the radius for
  // gridding (txt_nearest) when it is above 0, otherwise R.
  double preview_step = 0;
  double preview_radius = 0;
  double preview_reach = 0;
  PointColumns columns;  // from the four column lists
  // Grid mode: the ring is sampled from a CBA grid file.
  bool use_grid = false;              // chb_grd
  std::string grid_path;              // txt_grd; kept from the last grid run otherwise
  bool use_interpolated_cba = false;  // chb_interpol
  std::int32_t ring_points = 0;       // txt_n, N >= 1; kept from the last grid run otherwise
  // No control sets this: the most memory a grid's nodes may take, below
  // what the system has available (the batch command's --grid-memory-limit).
  std::uint64_t grid_memory_limit = UINT64_MAX;
  // No control sets these either (the batch command's --columns by name,
  // --decimal-separator, --crs and --work-crs): columns picked by the file's
  // header row, the decimal separator of a CSV file, and the coordinate
  // reference systems of the points and of the computation.
  ColumnNames column_names;
  char csv_decimal_separator = '.';
  SurveyCrs crs;
  // No control sets these either (the batch command's --quality,
  // --min-ring-points and --max-gap): the ring quality columns, and the
  // rules that leave a point whose ring falls short without a residual.
  bool ring_quality = false;
  RingBlanking blanking;
  // Absolute gravity and height in place of the CBA (the batch command's
  // --gravity-column and --height-column): when set, the CBA column (the
  // cmb_uba list, or column_names[3]) holds absolute gravity in mGal and
  // `height_column` (or column_names[4]) the station's height in metres;
  // the run reduces them to the simple Bouguer anomaly, which it takes as
  // the CBA. The latitudes come from the points' coordinates: `crs` must be set.
  std::optional<GravityReduction> gravity_reduction;
  int height_column = -1;  // zero-based, as the lists count
};

// How the user named the CBA column: its header name, or its letter.
inline std::string CbaColumnName(const RunParameters& parameters) {
  if (!parameters.column_names[3].empty()) return parameters.column_names[3];
  const int column = parameters.columns.cba;
  return column >= 0 && column <= 25 ? std::string(1, static_cast<char>('A' + column)) : "?";
}

}  // namespace torvane
