#pragma once
// The options that say how a station file is read, shared by the residual run
// and the sweep: --columns (letters or header names), --decimal-separator,
// --crs and --work-crs.

#include <optional>
#include <string>

#include "points/ColumnNames.h"
#include "points/PointFileReader.h"
#include "points/PointLine.h"

namespace CLI {
class App;
}  // namespace CLI

namespace torvane {

struct StationInput {
  std::optional<PointColumns> columns;       // --columns of four letters, for the lists
  std::optional<ColumnNames> column_names;  // --columns as given: header names or letters
  std::optional<char> decimal_separator;    // overrides the locale's
  PointFileFormat input_format = PointFileFormat::kByName;  // --input-format
  std::optional<std::string> crs;           // of the points' X and Y
  std::optional<std::string> work_crs;      // of the computation
};

// The options as typed, until TakeStationOptions checks them.
// Plain values only: they are read after the parser, and its options, are gone.
struct StationFlags {
  std::optional<std::string> columns;  // A,B,C,E when not given
  std::optional<std::string> decimal_separator;
  std::optional<std::string> input_format;
  std::optional<std::string> crs;
  std::optional<std::string> work_crs;
};

void AddStationOptions(CLI::App& app, StationFlags& flags);
// Fills `input` from the flags given; a usage error (told on stderr) answers
// its exit code. With `gravity_apart` --columns names X, Y and the point
// only: the gravity and height columns are named by flags of their own.
std::optional<int> TakeStationOptions(const StationFlags& flags, StationInput& input,
                                      bool gravity_apart = false);

}  // namespace torvane
