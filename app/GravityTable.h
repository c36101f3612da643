#pragma once
// The table of `torvane-cli reduce` and the window's Reduce gravity: a
// station file of absolute gravity and heights read, reduced to normal
// gravity, free-air and simple Bouguer anomalies, and written as a table.

#include <functional>
#include <string>

#include "common/Reporter.h"
#include "points/GravityReduction.h"
#include "points/PointFileReader.h"

namespace torvane {

struct GravityTableRequest {
  std::string input;
  // X, Y, point, gravity and height: letters or the header row's names.
  ColumnNames columns;
  PointFileFormat input_format = PointFileFormat::kByName;
  std::string crs;  // the stations' CRS: their latitudes come from it
  GravityReduction reduction;
  std::string output;  // CSV when the name ends in .csv
};

// Reads, reduces and writes; `after_reading` is called with the rows the
// reading skipped, once it ended (however it ended). False when nothing was
// written: the user has been told. `stations` answers how many were kept.
bool WriteGravityTable(Reporter& reporter, const GravityTableRequest& request,
                       const std::function<void(const SkippedRows&)>& after_reading,
                       std::size_t& stations);

}  // namespace torvane
