// torvane-cli convert IN OUT [--format F]: reads any grid torvane reads and
// writes it node for node in another format, or refuses when that format
// cannot hold it.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "app/cli/GridCrsOption.h"
#include "app/cli/GridFileOption.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/Subcommand.h"
#include "common/FileClash.h"
#include "common/LocaleSeparator.h"
#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"

namespace torvane {
namespace {

struct ConvertOptions {
  std::string input;
  std::string output;
  std::optional<std::string> format;
  std::optional<std::string> crs;
  bool quiet = false;
};


int RunConvert(const ConvertOptions& options) {
  if (const auto stop = RefuseStandardOutput("OUT", options.output)) return *stop;
  const GridFormat* type = GridFormatOfOption("OUT", options.output, options.format);
  if (!type || !CheckGridCrsOption(options.crs)) return kExitUsageError;
  if (const auto clash = FindFileClash({{"IN", options.input}}, {{"OUT", options.output}})) {
    return UsageError(FileClashMessage(*clash));
  }
  BatchPlatform platform(LocaleDecimalSeparator(), false);
  GridValues grid;
  if (!ReadGridValues(platform, options.input, grid)) return kExitRunFailed;
  ApplyGridCrsOption(options.crs, grid);
  if (!WriteGrid(platform, grid, options.output, *type)) return kExitRunFailed;
  if (!options.quiet) {
    std::printf("Grid of %u x %u nodes written to %s (%s)\n", grid.ncols, grid.nrows,
                options.output.c_str(), std::string(type->name).c_str());
  }
  return kExitWritten;
}

}  // namespace

Subcommand AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* parser = app.add_subcommand(
      "convert",
      "Read a grid in any format torvane reads and write it node for node in another");
  parser->add_option("IN", options->input, "Grid to read (its format is told by content)")
      ->required();
  parser->add_option("OUT", options->output, "Grid to write")->required();
  AddGridFormatOption(*parser, options->format);
  AddGridCrsOption(*parser, options->crs);
  parser->add_flag("--quiet", options->quiet, "No summary line");
  return {parser, [options] { return RunConvert(*options); }};
}

}  // namespace torvane
