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
#include <tuple>

#include "app/Hvw.h"
#include "app/cli/BatchConfig.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"

namespace {

using torvane::Control;

constexpr int kWritten = 0;
constexpr int kRunFailed = 1;
constexpr int kUsageError = 2;

int Run(const torvane::BatchOptions& options) {
  torvane::BatchPlatform platform(torvane::LocaleDecimalSeparator(), !options.quiet && isatty(2));
  torvane::TfrmMain form(platform);

  if (options.config && !torvane::ApplyConfigFile(*options.config, platform)) return kUsageError;
  if (options.input) platform.SetText(Control::txt_in, *options.input);
  if (options.output) platform.SetText(Control::txt_out, *options.output);
  if (options.radius) platform.SetText(Control::txt_rfs, *options.radius);
  if (!form.CheckNumber(Control::txt_rfs)) return kUsageError;
  if (options.band) {
    platform.SetText(Control::txt_rfa, *options.band);
    if (!form.CheckNumber(Control::txt_rfa)) return kUsageError;
  }
  if (options.columns) {
    platform.SetItemIndex(Control::cmb_gx, options.columns->x);
    platform.SetItemIndex(Control::cmb_gy, options.columns->y);
    platform.SetItemIndex(Control::cmb_point, options.columns->point);
    platform.SetItemIndex(Control::cmb_uba, options.columns->cba);
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
  if (options.grid_memory_limit_mib) {
    constexpr std::uint64_t kMebibyte = 1 << 20;
    const std::uint64_t mib = *options.grid_memory_limit_mib;
    form.set_grid_memory_limit(mib > UINT64_MAX / kMebibyte ? UINT64_MAX : mib * kMebibyte);
  }

  form.set_ring_quality(options.quality);
  form.set_blanking(options.blanking.Blanking());

  form.btn_calcClick();
  platform.EndProgress();
  if (!form.ResultsReady()) return kRunFailed;
  if (!options.quiet) {
    std::printf("Residual table of %d points written to %s\n", form.Points().count(),
                platform.Text(Control::txt_out).c_str());
  }
  bool saved = true;
  for (const auto& [request, image, what] :
       {std::tuple{&options.preview_cba, Control::img_uba, "CBA"},
        std::tuple{&options.preview_residual, Control::img_regta, "Residual"}}) {
    if (!*request) continue;
    if (!form.SavePicture(image, (*request)->path, (*request)->format)) {
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
    std::fprintf(stderr, "torvane-cli: %s\n", error.what());
    return kRunFailed;
  }
}
