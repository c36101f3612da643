#pragma once
// The options that read absolute gravity and height in place of a Bouguer
// anomaly and reduce them (--gravity-column, --height-column, --ellipsoid,
// --density, --free-air-gradient, --bullard-b), shared by `reduce`, the
// residual run and the sweep.

#include <optional>
#include <string>

#include "app/cli/StationOptions.h"
#include "points/GravityReduction.h"

namespace CLI {
class App;
}  // namespace CLI

namespace torvane {

// The options as typed. Plain values only: they are read after the parser
// is gone.
struct ReductionFlags {
  std::optional<std::string> gravity_column;
  std::optional<std::string> height_column;
  std::optional<std::string> ellipsoid;
  std::optional<std::string> density;
  std::optional<std::string> free_air_gradient;
  bool bullard_b = false;
};

void AddReductionOptions(CLI::App& app, ReductionFlags& flags);

// With --gravity-column (or, for `reduce`, always) fills `reduction` and
// names the gravity and height columns in `input` (after the X, Y and point
// of --columns, or, for `reduce` without --gravity-column, after its fourth
// column, the gravity); `station` gives --columns and --crs. A usage error
// (told on stderr) answers its exit code.
std::optional<int> TakeReductionOptions(const ReductionFlags& flags, const StationFlags& station,
                                        bool reduce_command, StationInput& input,
                                        std::optional<GravityReduction>& reduction);

}  // namespace torvane
