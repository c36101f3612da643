// torvane-cli info FILE [--json]: what a point file or a grid holds, for a
// first look before a run: counts, extent, CRS, value statistics, and the
// stations' spacing or the grid's nodes.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/FileInfo.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "app/cli/StationOptions.h"
#include "app/cli/Subcommand.h"
#include "common/LocaleSeparator.h"

namespace torvane {
namespace {

struct InfoOptions {
  std::string file;
  bool json = false;
  StationFlags station;
};

int RunInfo(const InfoOptions& options) {
  StationInput station;
  if (const auto refused = TakeStationOptions(options.station, station)) return *refused;
  const char separator =
      station.decimal_separator ? *station.decimal_separator : LocaleDecimalSeparator();
  InfoReport report;

  StationSource source;
  source.path = options.file;
  source.columns = station.columns.value_or(PointColumns{});
  source.column_names = station.column_names.value_or(ColumnNames{});
  source.decimal_separator = station.decimal_separator.value_or(0);
  source.input_format = station.input_format;
  source.crs = {station.crs.value_or(""), station.work_crs.value_or("")};
  BatchPlatform platform(separator, false);
  std::vector<std::string> about_a_grid;
  if (!DescribeFile(platform, source, report, about_a_grid)) {
    for (const std::string& text : about_a_grid) PrintError(text);
    return kExitRunFailed;
  }
  const std::string out = options.json ? report.Json() : report.Lines();
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitWritten;
}

}  // namespace

Subcommand AddInfoCommand(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* parser = app.add_subcommand(
      "info",
      "What a point file or a grid holds: for points the stations, their extent, CRS, CBA\n"
      "statistics and median spacing; for a grid its format, size, spacing, extent, blanks,\n"
      "CRS and values");
  parser->add_option("FILE", options->file, "Point file or grid (told apart by content)")
      ->required();
  parser->add_flag("--json", options->json, "Print one JSON object instead of lines");
  AddStationOptions(*parser, options->station);
  return {parser, [options] { return RunInfo(*options); }};
}

}  // namespace torvane
