// torvane-cli: the batch front end. It describes the run from its flags (over
// the window's starting fields, or a settings file's with --config), makes
// the checks the window makes when its fields are left and when Calc is
// pressed, runs it, and reports what the run showed.
//
// With --preview-cba or --preview-residual it draws the previews as the
// window does with "Preview grids" ticked, and saves them as the window's
// save buttons do.
//
// Exit codes: 0 the table (and any picture asked for) was written, 1 the
// run failed or a picture could not be written, 2 usage error.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/GridSurface.h"
#include "app/MemoryPlatform.h"
#include "app/PaintPreview.h"
#include "app/RunMap.h"
#include "app/RunPreview.h"
#include "app/cli/BatchConfig.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CalcRefusal.h"
#include "app/cli/CliMessages.h"
#include "app/cli/RingFlagChecks.h"
#include "app/cli/SkippedPreviews.h"
#include "app/cli/SkippedRowsNote.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/SurveyWarnings.h"
#include "common/DecimalNumber.h"
#include "common/FileClash.h"
#include "common/Interruption.h"
#include "common/LocaleSeparator.h"
#include "grid/WriteGrid.h"
#include "points/CoordinateSystem.h"
#include "run/Run.h"

namespace {

constexpr int kWritten = torvane::kExitWritten;
constexpr int kRunFailed = torvane::kExitRunFailed;
constexpr int kUsageError = torvane::kExitUsageError;

// The run's residual gridded by `options` onto nodes `cell` apart (0: the
// maps' default cell) and written. False when it was not written (the user
// has been told).
bool WriteResidualGrid(const torvane::RunRequest& run, const torvane::RunResult& result,
                       torvane::BatchPlatform& platform,
                       const torvane::ResidualGridRequest& request, double cell,
                       const torvane::GriddingOptions& options, bool quiet) {
  torvane::GridValues grid;
  if (!torvane::GridRunResidual(platform, run, result, cell, grid, options) ||
      !torvane::WriteGrid(platform, grid, request.path, *request.format)) {
    return false;
  }
  if (!quiet) {
    std::fprintf(torvane::SummaryStream(), "Residual grid of %u x %u nodes written to %s\n",
                 grid.ncols, grid.nrows, request.path.c_str());
  }
  return true;
}

// Draws the maps asked for beside the run; false when one could not be
// written (the user has been told).
bool DrawRunMaps(const torvane::BatchOptions& options, torvane::BatchPlatform& platform,
                 const torvane::RunRequest& run, torvane::RunResult& result, double cell) {
  bool drawn = true;
  const auto save = [&](const torvane::MapFileRequest& request, const torvane::RunMap& map,
                        std::string_view name) {
    if (!torvane::SaveMap(platform, request.path, request.format, map.scene,
                          torvane::FullView(map.scene), options.map_size.width,
                          options.map_size.height, std::nullopt,
                          options.map_size.points_per_pixel)) {
      drawn = false;
    } else if (!options.quiet) {
      std::fprintf(torvane::SummaryStream(), "%s map written to %s\n", std::string(name).c_str(),
                   request.path.c_str());
    }
  };
  for (const auto& [request, variable] :
       {std::pair{&options.map_cba, torvane::MapVariable::kCba},
        std::pair{&options.map_residual, torvane::MapVariable::kResidual},
        std::pair{&options.map_gap, torvane::MapVariable::kGap}}) {
    if (!*request) continue;
    torvane::RunMap map;
    if (!torvane::MakeRunMap(platform, run, result, variable, cell, options.map_stations,
                             options.gridding, map)) {
      drawn = false;
      continue;
    }
    map.scene.colours = options.map_look.colours;
    map.scene.contour_interval = options.map_look.contour_interval;
    save(**request, map, torvane::MapVariableName(variable));
  }
  return drawn;
}

// The two previews of a run, drawn as the window draws them with "Preview
// grids" ticked: the CBA once the stations are read, the residual once the
// table is written.
struct Previews {
  Previews() {
    cba.Clear();
    residual.Clear();
  }
  // Grids and paints value `slot` into `picture` unless the cells of the
  // previews do not fit in memory.
  void Draw(torvane::Reporter& reporter, const torvane::RunRequest& request,
            torvane::RunResult& result, int slot, torvane::RgbCanvas& picture) {
    if (!torvane::EnsureCluster(reporter, request, result)) return;
    if (torvane::GridRunPreview(reporter, request, result, slot,
                                {picture.width(), picture.height()}, stop_requested,
                                state) == torvane::PreviewOutcome::kCompleted) {
      torvane::PaintPreview(state.pixels, picture);
    }
  }

  torvane::RgbCanvas cba{torvane::kPictureBoxSize.width, torvane::kPictureBoxSize.height};
  torvane::RgbCanvas residual{torvane::kPictureBoxSize.width, torvane::kPictureBoxSize.height};
  torvane::PreviewState state;
  bool stop_requested = false;  // nobody presses Stop here
};

// The run's outputs against its inputs and each other; a clash is a usage
// error before anything is read or written. The table against the point
// file or the grid is left to Calc, which refuses it with its own message.
std::optional<int> RefuseFileClash(const torvane::BatchOptions& options,
                                   const torvane::BatchFields& fields) {
  std::vector<torvane::NamedFile> inputs = {{"--input", fields.input}};
  if (fields.use_grid) inputs.push_back({"--grid", fields.grid});
  if (options.config) inputs.push_back({"--config", *options.config});
  std::vector<torvane::NamedFile> outputs = {{"--output", fields.output}};
  for (const auto& [flag, request] : {std::pair{"--preview-cba", &options.preview_cba},
                                      std::pair{"--preview-residual", &options.preview_residual}}) {
    if (*request) outputs.push_back({flag, (*request)->path});
  }
  if (options.residual_grid) outputs.push_back({"--residual-grid", options.residual_grid->path});
  for (const auto& [flag, request] : {std::pair{"--map-cba", &options.map_cba},
                                      std::pair{"--map-residual", &options.map_residual},
                                      std::pair{"--map-gap", &options.map_gap}}) {
    if (*request) outputs.push_back({flag, (*request)->path});
  }
  const std::optional<torvane::FileClash> clash = torvane::FindFileClash(inputs, outputs);
  if (!clash) return std::nullopt;
  if (clash->output.option == "--output" && clash->other.option != "--config") {
    return std::nullopt;
  }
  return torvane::UsageError(torvane::FileClashMessage(*clash));
}

int Run(const torvane::BatchOptions& options) {
  const torvane::StationInput& station = options.station;
  torvane::BatchPlatform platform(
      station.decimal_separator ? *station.decimal_separator : torvane::LocaleDecimalSeparator(),
      !options.quiet && isatty(2));
  const char separator = platform.DecimalSeparator();

  torvane::BatchFields fields;
  if (!torvane::ReadBatchFields(options.config, separator, fields)) return kUsageError;
  if (options.input) fields.input = *options.input;
  if (options.output) fields.output = *options.output;
  if (options.radius) fields.radius = *options.radius;
  if (options.band) fields.band = *options.band;
  if (options.gridding_radius) fields.gridding = *options.gridding_radius;
  // A table on standard output leaves stdout to it alone.
  torvane::KeepStandardOutputFor(fields.output);
  // The four lists: a height column goes by its name (column_names[4]).
  if (station.columns) {
    fields.columns = {station.columns->x, station.columns->y, station.columns->point,
                      station.columns->cba};
  }
  double map_cell = 0;
  if (options.map_cell &&
      (!torvane::ParseTypedDecimal(*options.map_cell, separator, map_cell) || !(map_cell > 0))) {
    return torvane::UsageError("--map-cell takes a number greater than 0; got '" +
                               *options.map_cell + "'");
  }
  if (options.preview_cba || options.preview_residual) fields.previews = true;
  if (options.grid) {
    fields.use_grid = true;
    fields.grid = *options.grid;
    if (options.ring_points) fields.ring_points = *options.ring_points;
    if (options.interpolated_cba) fields.interpolated_cba = true;
  }
  if (const auto refused = torvane::CheckRingFlags(
          fields, separator, {options.band.has_value(), options.gridding_radius.has_value()})) {
    return *refused;
  }
  double residual_cell = 0;
  if (options.residual_grid && !options.residual_grid->cell.empty() &&
      (!torvane::ParseTypedDecimal(options.residual_grid->cell, separator, residual_cell) ||
       !(residual_cell > 0))) {
    return torvane::UsageError("--cell takes a number greater than 0; got '" +
                               options.residual_grid->cell + "'");
  }

  torvane::RunRequest request;
  if (options.grid_memory_limit_mib) {
    constexpr std::uint64_t kMebibyte = 1 << 20;
    const std::uint64_t mib = *options.grid_memory_limit_mib;
    request.ring.grid_memory_limit = mib > UINT64_MAX / kMebibyte ? UINT64_MAX : mib * kMebibyte;
  }
  if (station.column_names) request.stations.column_names = *station.column_names;
  if (station.decimal_separator) request.stations.decimal_separator = *station.decimal_separator;
  request.stations.input_format = station.input_format;
  if (station.crs) request.stations.crs = {*station.crs, station.work_crs.value_or("")};
  request.stations.gravity_reduction = options.gravity_reduction;

  if (const auto refused = RefuseFileClash(options, fields)) return *refused;

  request.ring.quality = options.quality;
  request.ring.blanking = options.blanking.Blanking();
  if (!torvane::TakeCalcFields(platform, fields, request)) {
    torvane::NoteSameFileRefusal(fields);
    return kUsageError;
  }

  torvane::RunResult result;
  Previews previews;
  try {
    platform.SetProgressPosition(0);
    // What the read skipped, and what the coordinates suggest about their
    // units, is said once the stations are read, or once the read failed.
    bool stations_said = false;
    const auto say_stations = [&] {
      if (stations_said) return;
      stations_said = true;
      platform.EndProgress();
      torvane::PrintSkippedRows(result.points.skipped, request.stations.path);
      if (result.points.count() == 0) return;
      torvane::WarnAboutUnits(result.points,
                              request.ring.use_grid ? std::vector<double>{}
                                                    : std::vector<double>{request.ring.radius},
                              !request.stations.crs.crs.empty());
    };
    torvane::Run(platform, request, result, [&] {
      say_stations();
      if (fields.previews) previews.Draw(platform, request, result, torvane::kCbaSlot, previews.cba);
      return true;
    });
    say_stations();
    if (result.completed && fields.previews) {
      previews.Draw(platform, request, result, torvane::kResidualSlot, previews.residual);
    }
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Out of memory");
  } catch (const std::exception& error) {
    platform.ShowInfo(error.what());
  }
  platform.EndProgress();
  if (result.refused) return kUsageError;
  // Stations without a CRS of their own are taken to be in the grid's.
  if (!station.crs && !result.grid_crs.empty()) {
    torvane::PrintNote("Grid " + request.ring.grid_path + " is in " +
                       torvane::CrsTitle(result.grid_crs) +
                       "; the points are taken to be in it too (--crs gives theirs)");
  }
  if (!result.completed) return kRunFailed;
  const int points = result.points.count();
  // Said even with --quiet: a table of zeros must not pass unnoticed.
  if (result.rings.empty_rings > 0) {
    torvane::PrintNote("N = 0 for " + std::to_string(result.rings.empty_rings) + " of " +
                       std::to_string(points) + " points: no ring value, residual written as 0");
  }
  if (result.cluster_refused) {
    torvane::PrintNote(torvane::SkippedPreviewsCause(request, result, platform));
  }
  // A grid that gave no point a ring value (cut short, or beside the
  // survey) is a failed run, though the table is written as the window
  // writes it.
  const bool no_ring_from_grid =
      request.ring.use_grid && points > 0 && result.rings.empty_rings == points;
  if (!options.quiet) {
    const std::string work_crs =
        result.work_crs.empty() ? "" : ", rings in " + torvane::CrsTitle(result.work_crs);
    std::fprintf(torvane::SummaryStream(), "Residual table of %d points written to %s%s\n", points,
                 request.output_path.c_str(), work_crs.c_str());
  }
  bool saved = true;
  for (const auto& [picture_request, picture, what] :
       {std::tuple{&options.preview_cba, &previews.cba, "CBA"},
        std::tuple{&options.preview_residual, &previews.residual, "Residual"}}) {
    if (!*picture_request) continue;
    const torvane::PictureRequest& asked = **picture_request;
    if (result.cluster_refused) {
      torvane::PrintError(std::string(what) + " picture not written to " + asked.path +
                          ": the previews were skipped");
      saved = false;
    } else if (!torvane::SavePreviewPicture(platform, asked.path, *picture, asked.format)) {
      saved = false;
    } else if (!options.quiet) {
      std::fprintf(torvane::SummaryStream(), "%s picture written to %s\n", what,
                   asked.path.c_str());
    }
  }
  if (options.residual_grid && !WriteResidualGrid(request, result, platform,
                                                  *options.residual_grid, residual_cell,
                                                  options.gridding, options.quiet)) {
    saved = false;
  }
  if (!DrawRunMaps(options, platform, request, result, map_cell)) saved = false;
  return saved && !no_ring_from_grid ? kWritten : kRunFailed;
}

}  // namespace

int main(int argc, char** argv) {
  // Ctrl-C or SIGTERM: every temporary file goes, every existing output
  // stays as it was (on a terminal, below the progress bar).
  torvane::InstallInterruptHandlers(isatty(2) ? "\ntorvane-cli: Error: interrupted\n"
                                              : "torvane-cli: Error: interrupted\n");
  torvane::BatchOptions options;
  std::function<int()> subcommand;
  if (const auto stop = torvane::ParseBatchOptions(argc, argv, options, subcommand)) return *stop;
  try {
    return subcommand ? subcommand() : Run(options);
  } catch (const std::exception& error) {
    torvane::PrintError(error.what());
    return kRunFailed;
  }
}
