#include "app/cli/StationOptions.h"

#include <CLI/CLI.hpp>

#include "app/cli/CliMessages.h"
#include "points/ColumnLetters.h"
#include "points/SurveyProjection.h"

namespace torvane {

void AddStationOptions(CLI::App& app, StationFlags& flags) {
  app.add_option("--columns", flags.columns,
                 "Columns of X,Y,POINT,CBA: letters (A = the first column), or names of\n"
                 "the file's header row in any letter case (a name wins over a letter)")
      ->default_str("A,B,C,E");
  app.add_option("--decimal-separator", flags.decimal_separator,
                 "Decimal separator of the point file and of the numbers given here,\n"
                 "instead of the locale's (CSV files use '.' unless ',' is given here\n"
                 "and their fields are separated by ';')")
      ->check(CLI::IsMember({".", ","}));
  app.add_option("--input-format", flags.input_format,
                 "Read the point file as 'csv' or 'plain' whatever its name (for --input -,\n"
                 "standard input, which is read as plain unless csv is given)")
      ->check(CLI::IsMember({"csv", "plain"}));
  CLI::Option* crs_option =
      app.add_option("--crs", flags.crs,
                     "Coordinate reference system of X and Y, as PROJ takes it (EPSG:4326,\n"
                     "EPSG:32735, a PROJ string); with degrees X is the longitude, Y the\n"
                     "latitude, and the points are projected into --work-crs for the run");
  app.add_option("--work-crs", flags.work_crs,
                 "Projected CRS in metres the run works in (default: the WGS 84 UTM zone of\n"
                 "the survey's centre when --crs is geographic); grids must be in it")
      ->needs(crs_option);
}

std::optional<int> TakeStationOptions(const StationFlags& flags, StationInput& input,
                                      bool gravity_apart) {
  if (flags.columns && gravity_apart) {
    ColumnNames names;
    if (!ParseColumnNames(*flags.columns, names, 3)) {
      return UsageError(
          "--columns takes three columns, X,Y,POINT, where --gravity-column names the gravity: "
          "letters (A to Z) or header names separated by commas; got '" + *flags.columns + "'");
    }
    input.column_names = names;
  } else if (flags.columns) {
    ColumnNames names;
    if (!ParseColumnNames(*flags.columns, names)) {
      return UsageError(
          "--columns takes four column letters (A to Z) or header names separated by commas, "
          "such as A,B,C,E; got '" + *flags.columns + "'");
    }
    input.column_names = names;
    PointColumns letters;
    if (ParseColumnLetters(*flags.columns, letters)) input.columns = letters;
  }
  if (flags.decimal_separator) input.decimal_separator = (*flags.decimal_separator)[0];
  if (flags.input_format) {
    input.input_format = *flags.input_format == "csv" ? PointFileFormat::kCsv : PointFileFormat::kPlain;
  }
  input.crs = flags.crs;
  input.work_crs = flags.work_crs;
  for (const auto& [flag, crs] : {std::pair{"--crs", &input.crs}, {"--work-crs", &input.work_crs}}) {
    if (!*crs) continue;
    const CrsKind kind = DescribeCrs(**crs);
    if (kind == CrsKind::kUnknown) {
      return UsageError(std::string(flag) + ": unknown coordinate reference system '" + **crs +
                        "'");
    }
    const bool work = crs == &input.work_crs;
    if (work ? kind != CrsKind::kProjected : kind == CrsKind::kOther) {
      return UsageError(std::string(flag) + ": '" + **crs + "' is not " +
                        (work ? "a projected" : "a geographic or projected") +
                        " coordinate reference system");
    }
  }
  return std::nullopt;
}

}  // namespace torvane
