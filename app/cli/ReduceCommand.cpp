// torvane-cli reduce: a station file of absolute gravity and heights to the
// table of its normal gravity, free-air and simple Bouguer anomalies.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "app/GravityTable.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "common/LocaleSeparator.h"
#include "app/cli/ReductionOptions.h"
#include "app/cli/SkippedRowsNote.h"
#include "app/cli/StationOptions.h"
#include "app/cli/Subcommand.h"
#include "common/FileClash.h"

namespace torvane {
namespace {

struct ReduceFlags {
  std::string input;
  std::string output;
  StationFlags station;
  ReductionFlags reduction;
  bool quiet = false;
};

int RunReduce(const ReduceFlags& flags) {
  StationInput station;
  std::optional<GravityReduction> reduction;
  if (const auto stop =
          TakeReductionOptions(flags.reduction, flags.station, true, station, reduction)) {
    return *stop;
  }
  // The same file by any name (another spelling, a link) would lose the survey.
  if (const auto clash = FindFileClash({{"--input", flags.input}}, {{"--output", flags.output}})) {
    return UsageError(FileClashMessage(*clash));
  }
  BatchPlatform platform(
      station.decimal_separator ? *station.decimal_separator : LocaleDecimalSeparator(),
      !flags.quiet && isatty(2));
  GravityTableRequest table;
  table.input = flags.input;
  table.columns = *station.column_names;
  table.input_format = station.input_format;
  table.crs = *station.crs;
  table.reduction = *reduction;
  table.output = flags.output;
  std::size_t stations = 0;
  if (!WriteGravityTable(
          platform, table,
          [&](const SkippedRows& skipped) { PrintSkippedRows(skipped, flags.input); }, stations)) {
    return kExitRunFailed;
  }
  if (!flags.quiet) {
    std::printf("Reductions of %zu stations written to %s\n", stations,
                flags.output.c_str());
  }
  return kExitWritten;
}

}  // namespace

Subcommand AddReduceCommand(CLI::App& app) {
  auto flags = std::make_shared<ReduceFlags>();
  CLI::App* reduce = app.add_subcommand(
      "reduce",
      "Absolute gravity and heights of a station file to the table x, y, point, gravity,\n"
      "height, normal_gravity, free_air, bouguer (mGal; fixed width, or CSV when the\n"
      "output's name ends in .csv)");
  reduce->add_option("--input", flags->input,
                     "Station file: X, Y, point, absolute gravity (mGal) and height (m)")
      ->required();
  reduce->add_option("--output", flags->output, "Table to write")->required();
  AddStationOptions(*reduce, flags->station);
  reduce->get_option("--columns")
      ->description(
          "Columns of X,Y,POINT,GRAVITY (absolute gravity in mGal), or X,Y,POINT with\n"
          "--gravity-column: letters (A = the first column) or names of the file's\n"
          "header row in any letter case")
      ->default_str("A,B,C,D");
  // The reductions need no work CRS: the table keeps the file's coordinates.
  reduce->remove_option(reduce->get_option("--work-crs"));
  AddReductionOptions(*reduce, flags->reduction);
  reduce->add_flag("--quiet", flags->quiet, "No summary line");
  // The options are gone when the command runs: their values tell.
  return {reduce, [flags] { return RunReduce(*flags); }};
}

}  // namespace torvane
