// torvane-cli: the batch front end. It fills the window's fields from the
// command line as a user would, checks the numeric fields as the window does
// when they are left, presses Calc and reports what the run showed.
//
// With --preview-cba or --preview-residual it ticks "Preview grids" and
// saves the pictures after the run, as the window's save buttons do.
//
// Exit codes: 0 the table (and any picture asked for) was written, 1 the
// run failed or a picture could not be written, 2 usage error.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/GridSurface.h"
#include "app/Hvw.h"
#include "app/cli/BatchConfig.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"
#include "app/RunMap.h"
#include "app/cli/CalcRefusal.h"
#include "app/cli/CliMessages.h"
#include "common/LocaleSeparator.h"
#include "app/cli/RingFlagChecks.h"
#include "app/cli/SkippedPreviews.h"
#include "common/DecimalNumber.h"
#include "common/FileClash.h"
#include "common/Interruption.h"
#include "grid/WriteGrid.h"

namespace {

using torvane::Control;

constexpr int kWritten = torvane::kExitWritten;
constexpr int kRunFailed = torvane::kExitRunFailed;
constexpr int kUsageError = torvane::kExitUsageError;

// The run's residual gridded by `options` onto nodes `cell` apart (0: the
// maps' default cell) and written. False when it was not written (the user
// has been told).
bool WriteResidualGrid(const torvane::TfrmMain& form, torvane::BatchPlatform& platform,
                       const torvane::ResidualGridRequest& request, double cell,
                       const torvane::GriddingOptions& options, bool quiet) {
  torvane::GridValues grid;
  if (!torvane::GridRunResidual(platform, form, cell, grid, options) ||
      !torvane::WriteGrid(platform, grid, request.path, request.type)) {
    return false;
  }
  if (!quiet) {
    std::printf("Residual grid of %u x %u nodes written to %s\n", grid.ncols, grid.nrows,
                request.path.c_str());
  }
  return true;
}

// Draws the maps asked for beside the run; false when one could not be
// written (the user has been told).
bool DrawRunMaps(const torvane::BatchOptions& options, torvane::BatchPlatform& platform,
                 torvane::TfrmMain& form, double cell) {
  bool drawn = true;
  const auto save = [&](const torvane::MapFileRequest& request, const torvane::RunMap& map,
                        std::string_view name) {
    if (!torvane::SaveMap(platform, request.path, request.format, map.scene,
                          torvane::FullView(map.scene), options.map_size.width,
                          options.map_size.height, std::nullopt,
                          options.map_size.points_per_pixel)) {
      drawn = false;
    } else if (!options.quiet) {
      std::printf("%s map written to %s\n", std::string(name).c_str(), request.path.c_str());
    }
  };
  for (const auto& [request, variable] :
       {std::pair{&options.map_cba, torvane::MapVariable::kCba},
        std::pair{&options.map_residual, torvane::MapVariable::kResidual},
        std::pair{&options.map_gap, torvane::MapVariable::kGap}}) {
    if (!*request) continue;
    torvane::RunMap map;
    if (!torvane::MakeRunMap(platform, form, variable, cell, options.map_stations,
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

// The run's outputs against its inputs and each other; a clash is a usage
// error before anything is read or written. The table against the point
// file or the grid is left to Calc, which refuses it with its own message.
std::optional<int> RefuseFileClash(const torvane::BatchOptions& options,
                                   torvane::BatchPlatform& platform) {
  std::vector<torvane::NamedFile> inputs = {{"--input", platform.Text(Control::txt_in)}};
  if (platform.Checked(Control::chb_grd)) {
    inputs.push_back({"--grid", platform.Text(Control::txt_grd)});
  }
  if (options.config) inputs.push_back({"--config", *options.config});
  std::vector<torvane::NamedFile> outputs = {{"--output", platform.Text(Control::txt_out)}};
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
  torvane::TfrmMain form(platform);

  if (options.config && !torvane::ApplyConfigFile(*options.config, platform)) return kUsageError;
  if (options.input) platform.SetText(Control::txt_in, *options.input);
  if (options.output) platform.SetText(Control::txt_out, *options.output);
  if (options.radius) platform.SetText(Control::txt_rfs, *options.radius);
  if (options.band) platform.SetText(Control::txt_rfa, *options.band);
  if (options.gridding_radius) platform.SetText(Control::txt_nearest, *options.gridding_radius);
  if (station.columns) {
    platform.SetItemIndex(Control::cmb_gx, station.columns->x);
    platform.SetItemIndex(Control::cmb_gy, station.columns->y);
    platform.SetItemIndex(Control::cmb_point, station.columns->point);
    platform.SetItemIndex(Control::cmb_uba, station.columns->cba);
  }
  if (station.column_names) form.set_column_names(*station.column_names);
  form.set_gravity_reduction(options.gravity_reduction);
  if (station.decimal_separator) form.set_csv_decimal_separator(*station.decimal_separator);
  if (station.crs) form.set_coordinate_systems({*station.crs, station.work_crs.value_or("")});
  double map_cell = 0;
  if (options.map_cell && (!torvane::ParseDecimal(*options.map_cell, platform.DecimalSeparator(),
                                                  map_cell) ||
                           !(map_cell > 0))) {
    return torvane::UsageError("--map-cell takes a number greater than 0; got '" +
                               *options.map_cell + "'");
  }
  if (options.preview_cba || options.preview_residual) {
    platform.SetChecked(Control::cb_preview, true);
  }
  if (options.grid) {
    platform.SetChecked(Control::chb_grd, true);
    platform.SetText(Control::txt_grd, *options.grid);
    if (options.ring_points) platform.SetText(Control::txt_n, *options.ring_points);
    if (options.interpolated_cba) platform.SetChecked(Control::chb_interpol, true);
  }
  if (const auto refused = torvane::CheckRingFlags(
          platform, {options.band.has_value(), options.gridding_radius.has_value()})) {
    return *refused;
  }
  double residual_cell = 0;
  if (options.residual_grid && !options.residual_grid->cell.empty() &&
      (!torvane::ParseDecimal(options.residual_grid->cell, platform.DecimalSeparator(),
                              residual_cell) ||
       !(residual_cell > 0))) {
    return torvane::UsageError("--cell takes a number greater than 0; got '" +
                               options.residual_grid->cell + "'");
  }
  if (options.grid_memory_limit_mib) {
    constexpr std::uint64_t kMebibyte = 1 << 20;
    const std::uint64_t mib = *options.grid_memory_limit_mib;
    form.set_grid_memory_limit(mib > UINT64_MAX / kMebibyte ? UINT64_MAX : mib * kMebibyte);
  }

  if (const auto refused = RefuseFileClash(options, platform)) return *refused;

  form.set_ring_quality(options.quality);
  form.set_blanking(options.blanking.Blanking());

  form.btn_calcClick();
  platform.EndProgress();
  if (form.CalcRefused()) {
    torvane::NoteSameFileRefusal(platform);
    return kUsageError;
  }
  if (!form.ResultsReady()) return kRunFailed;
  // Said even with --quiet: a table of zeros must not pass unnoticed.
  if (form.EmptyRings() > 0) {
    torvane::PrintNote("N = 0 for " + std::to_string(form.EmptyRings()) + " of " +
                       std::to_string(form.Points().count()) +
                       " points: no ring value, residual written as 0");
  }
  if (form.PreviewsSkipped()) torvane::PrintNote(torvane::SkippedPreviewsCause(form, platform));
  // A grid that gave no point a ring value (cut short, or beside the
  // survey) is a failed run, though the table is written as the window
  // writes it.
  const bool no_ring_from_grid = platform.Checked(Control::chb_grd) &&
                                 form.Points().count() > 0 &&
                                 form.EmptyRings() == form.Points().count();
  if (!options.quiet) {
    std::printf("Residual table of %d points written to %s\n", form.Points().count(),
                platform.Text(Control::txt_out).c_str());
  }
  bool saved = true;
  for (const auto& [request, image, what] :
       {std::tuple{&options.preview_cba, Control::img_uba, "CBA"},
        std::tuple{&options.preview_residual, Control::img_regta, "Residual"}}) {
    if (!*request) continue;
    if (form.PreviewsSkipped()) {
      torvane::PrintError(std::string(what) + " picture not written to " + (*request)->path +
                          ": the previews were skipped");
      saved = false;
    } else if (!form.SavePicture(image, (*request)->path, (*request)->format)) {
      saved = false;
    } else if (!options.quiet) {
      std::printf("%s picture written to %s\n", what, (*request)->path.c_str());
    }
  }
  if (options.residual_grid && !WriteResidualGrid(form, platform, *options.residual_grid,
                                                  residual_cell, options.gridding, options.quiet)) {
    saved = false;
  }
  if (!DrawRunMaps(options, platform, form, map_cell)) saved = false;
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
