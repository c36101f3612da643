// torvane-cli grid-residual --grid IN --output OUT --radius R [--ring-points N]
// [--min-share S] [--format F]: the ring residual of every node of a grid,
// written as a grid of the same geometry.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
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
#include "common/DecimalNumber.h"
#include "common/FileClash.h"
#include "common/LocaleSeparator.h"
#include "common/ShortestText.h"
#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"
#include "residual/GridResidual.h"

namespace torvane {
namespace {

struct GridResidualOptions {
  std::string grid;
  std::string output;
  std::string radius;  // as typed: the locale's decimal separator
  std::int32_t ring_points = 360;
  std::string min_share = "1";
  std::optional<std::string> format;
  std::optional<std::string> crs;
  bool quiet = false;
};

// The ring from the options; nothing after a usage error.
std::optional<GridResidualRing> RingOfOptions(const GridResidualOptions& options,
                                              char separator) {
  GridResidualRing ring;
  ring.ring_points = options.ring_points;
  if (!ParseTypedDecimal(options.radius, separator, ring.radius) || !(ring.radius > 0) ||
      !std::isfinite(ring.radius)) {
    UsageError("--radius takes a number greater than 0; got '" + options.radius + "'");
    return std::nullopt;
  }
  if (ring.ring_points < 1 || ring.ring_points > kMostRingPoints) {
    UsageError("--ring-points takes a whole number from 1 to " +
               std::to_string(kMostRingPoints) + "; got " +
               std::to_string(options.ring_points));
    return std::nullopt;
  }
  if (!ParseTypedDecimal(options.min_share, separator, ring.min_share) || !(ring.min_share >= 0) ||
      !(ring.min_share <= 1)) {
    UsageError("--min-share takes a number from 0 to 1; got '" + options.min_share + "'");
    return std::nullopt;
  }
  return ring;
}

int RunGridResidual(const GridResidualOptions& options) {
  if (const auto stop = RefuseStandardOutput("--output", options.output)) return *stop;
  const char separator = LocaleDecimalSeparator();
  const std::optional<GridResidualRing> ring = RingOfOptions(options, separator);
  if (!ring) return kExitUsageError;
  const GridFormat* type = GridFormatOfOption("--output", options.output, options.format);
  if (!type || !CheckGridCrsOption(options.crs)) return kExitUsageError;
  if (const auto clash = FindFileClash({{"--grid", options.grid}}, {{"--output", options.output}})) {
    return UsageError(FileClashMessage(*clash));
  }

  BatchPlatform platform(separator, !options.quiet && isatty(2));
  GridValues in;
  if (!ReadGridValues(platform, options.grid, in)) return kExitRunFailed;
  GridValues out;
  platform.SetProgressRange(0, static_cast<int>(in.ncols));
  ComputeGridResidual(in, *ring, out, [&](std::size_t done) {
    platform.SetProgressPosition(static_cast<int>(done));
    return true;
  });
  platform.EndProgress();
  double low = 0, high = 0;
  if (!NodeRange(out, low, high)) {
    const double cells = ring->radius / std::min(std::fabs(in.dx), std::fabs(in.dy));
    PrintError(options.grid + ": no node got a residual: the ring of R = " +
               PlainText(ring->radius) + " (" + PlainText(cells, 6) + " cells) on a grid of " +
               std::to_string(in.ncols) + " x " + std::to_string(in.nrows) + " nodes (" +
               PlainText(in.xmax() - in.xmin, 6) + " x " + PlainText(in.ymax() - in.ymin, 6) +
               ") never has enough usable samples; check R against the grid's units and size. "
               "Nothing was written");
    return kExitRunFailed;
  }
  in = GridValues();  // the input's memory goes before the writer takes its own
  ApplyGridCrsOption(options.crs, out);
  out.variable = "residual";
  if (!WriteGrid(platform, out, options.output, *type)) return kExitRunFailed;
  if (!options.quiet) {
    std::printf("Residual grid of %u x %u nodes written to %s (%s)\n", out.ncols, out.nrows,
                options.output.c_str(), std::string(type->name).c_str());
  }
  return kExitWritten;
}

}  // namespace

Subcommand AddGridResidualCommand(CLI::App& app) {
  auto options = std::make_shared<GridResidualOptions>();
  CLI::App* parser = app.add_subcommand(
      "grid-residual",
      "The ring residual of every node of a grid: the node's value less the mean of N samples\n"
      "on the circle of radius R around it (bilinear, as grid mode samples), written as a grid\n"
      "of the same geometry. Numbers use the decimal separator of the locale.");
  parser->add_option("--grid", options->grid, "Grid to read (any format torvane reads)")
      ->required();
  parser->add_option("--output", options->output, "Residual grid to write")->required();
  parser->add_option("--radius", options->radius, "Ring radius R in the grid's units (> 0)")
      ->required();
  parser->add_option("--ring-points", options->ring_points, "Samples N on the ring")
      ->capture_default_str();
  parser->add_option("--min-share", options->min_share,
                     "Least share S of the N samples that must be usable (on the grid, not\n"
                     "blank), from 0 to 1; a node with fewer is blank. 1: the whole ring")
      ->capture_default_str();
  AddGridFormatOption(*parser, options->format);
  AddGridCrsOption(*parser, options->crs);
  parser->add_flag("--quiet", options->quiet, "No progress bar and no summary line");
  return {parser, [options] { return RunGridResidual(*options); }};
}

}  // namespace torvane
