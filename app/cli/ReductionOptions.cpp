#include "app/cli/ReductionOptions.h"

#include <CLI/CLI.hpp>
#include <cmath>

#include "app/cli/CliMessages.h"
#include "common/LocaleSeparator.h"
#include "common/DecimalNumber.h"

namespace torvane {
namespace {

// A number written with '.' or with the separator of the run.
bool ParseNumber(const std::string& text, char separator, double& value) {
  return ParseTypedDecimal(text, separator, value) &&
         std::isfinite(value);
}

}  // namespace

void AddReductionOptions(CLI::App& app, ReductionFlags& flags) {
  app.add_option("--gravity-column", flags.gravity_column,
                 "Read absolute gravity (mGal) from this column (letter or header name)\n"
                 "and reduce it with --height-column to the simple Bouguer anomaly,\n"
                 "which then stands as the CBA; --columns names X,Y,POINT only, and\n"
                 "--crs is required (the latitudes come from the coordinates)");
  app.add_option("--height-column", flags.height_column,
                 "Column of the station's height in metres (letter or header name): the\n"
                 "height above the ellipsoid for normal gravity, above sea level for\n"
                 "the Bouguer plate");
  app.add_option("--ellipsoid", flags.ellipsoid,
                 "Reference ellipsoid of normal gravity: grs80 (default) or wgs84");
  app.add_option("--density", flags.density,
                 "Density of the Bouguer plate in kg/m^3 (default 2670)");
  app.add_option("--free-air-gradient", flags.free_air_gradient,
                 "Normal gravity at height as gamma_0 - G * h with this gradient in\n"
                 "mGal/m (conventionally 0.3086) instead of its closed form");
  app.add_flag("--bullard-b", flags.bullard_b,
               "Add the earth's curvature to the Bouguer plate: a spherical cap of\n"
               "166.735 km (Bullard B, LaFehr 1991)");
}

std::optional<int> TakeReductionOptions(const ReductionFlags& flags, const StationFlags& station,
                                        bool reduce_command, StationInput& input,
                                        std::optional<GravityReduction>& reduction) {
  const bool gravity = reduce_command || flags.gravity_column || flags.height_column;
  if (!gravity) {
    for (const auto& [flag, given] :
         {std::pair{"--ellipsoid", flags.ellipsoid.has_value()},
          {"--density", flags.density.has_value()},
          {"--free-air-gradient", flags.free_air_gradient.has_value()},
          {"--bullard-b", flags.bullard_b}}) {
      if (given) return UsageError(std::string(flag) + " needs --gravity-column and --height-column");
    }
    return TakeStationOptions(station, input);
  }
  if (!flags.height_column) return UsageError("--height-column is required with absolute gravity");
  if (!reduce_command && !flags.gravity_column) {
    return UsageError("--height-column needs --gravity-column");
  }
  if (!station.crs) {
    return UsageError(
        "absolute gravity needs --crs: each station's latitude comes from its coordinates");
  }
  const bool apart = flags.gravity_column.has_value();
  if (const auto stop = TakeStationOptions(station, input, apart)) return stop;
  ColumnNames names = input.column_names.value_or(
      apart ? ColumnNames{"A", "B", "C"} : ColumnNames{"A", "B", "C", "D"});
  if (apart) names[3] = *flags.gravity_column;
  names[4] = *flags.height_column;
  input.column_names = names;
  input.columns.reset();  // every column goes by its name or letter

  GravityReduction options;
  if (flags.ellipsoid) {
    const std::optional<Ellipsoid> ellipsoid = EllipsoidNamed(*flags.ellipsoid);
    if (!ellipsoid) {
      return UsageError("--ellipsoid takes grs80 or wgs84; got '" + *flags.ellipsoid + "'");
    }
    options.ellipsoid = *ellipsoid;
  }
  const char separator = input.decimal_separator.value_or(LocaleDecimalSeparator());
  if (flags.density && (!ParseNumber(*flags.density, separator, options.density) ||
                        options.density < 0)) {
    return UsageError("--density takes a density in kg/m^3 (>= 0); got '" + *flags.density + "'");
  }
  if (flags.free_air_gradient) {
    double gradient = 0;
    if (!ParseNumber(*flags.free_air_gradient, separator, gradient)) {
      return UsageError("--free-air-gradient takes a number in mGal/m; got '" +
                        *flags.free_air_gradient + "'");
    }
    options.free_air_gradient = gradient;
  }
  options.bullard_b = flags.bullard_b;
  reduction = options;
  return std::nullopt;
}

}  // namespace torvane
