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

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <tuple>

#include "app/Hvw.h"
#include "app/cli/BatchConfig.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CalcRefusal.h"
#include "app/cli/CliMessages.h"
#include "app/cli/RingFlagChecks.h"
#include "app/cli/SkippedPreviews.h"

namespace {

using torvane::Control;

constexpr int kWritten = torvane::kExitWritten;
constexpr int kRunFailed = torvane::kExitRunFailed;
constexpr int kUsageError = torvane::kExitUsageError;

// The decimal separator of the user's locale (LC_ALL / LC_NUMERIC).
char LocaleDecimalSeparator() {
  std::setlocale(LC_ALL, "");
  const char* mark = std::localeconv()->decimal_point;
  const char separator = mark != nullptr && mark[0] != '\0' && mark[1] == '\0' ? mark[0] : '.';
  // Only the separator is wanted; everything else keeps the C conventions.
  std::setlocale(LC_ALL, "C");
  return separator;
}

int Run(const torvane::BatchOptions& options) {
  torvane::BatchPlatform platform(
      options.decimal_separator ? *options.decimal_separator : LocaleDecimalSeparator(),
      !options.quiet && isatty(2));
  torvane::TfrmMain form(platform);

  if (options.config && !torvane::ApplyConfigFile(*options.config, platform)) return kUsageError;
  if (options.input) platform.SetText(Control::txt_in, *options.input);
  if (options.output) platform.SetText(Control::txt_out, *options.output);
  if (options.radius) platform.SetText(Control::txt_rfs, *options.radius);
  if (options.band) platform.SetText(Control::txt_rfa, *options.band);
  if (options.gridding_radius) platform.SetText(Control::txt_nearest, *options.gridding_radius);
  if (options.columns) {
    platform.SetItemIndex(Control::cmb_gx, options.columns->x);
    platform.SetItemIndex(Control::cmb_gy, options.columns->y);
    platform.SetItemIndex(Control::cmb_point, options.columns->point);
    platform.SetItemIndex(Control::cmb_uba, options.columns->cba);
  }
  if (options.column_names) form.set_column_names(*options.column_names);
  if (options.decimal_separator) form.set_csv_decimal_separator(*options.decimal_separator);
  if (options.crs) form.set_coordinate_systems({*options.crs, options.work_crs.value_or("")});
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
  if (options.grid_memory_limit_mib) {
    constexpr std::uint64_t kMebibyte = 1 << 20;
    const std::uint64_t mib = *options.grid_memory_limit_mib;
    form.set_grid_memory_limit(mib > UINT64_MAX / kMebibyte ? UINT64_MAX : mib * kMebibyte);
  }

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
  return saved ? kWritten : kRunFailed;
}

}  // namespace

int main(int argc, char** argv) {
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
