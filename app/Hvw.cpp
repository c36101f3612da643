#include "app/Hvw.h"

#include <exception>
#include <new>
#include <string>

#include "app/ControlDefaults.h"
#include "app/RunChecks.h"
#include "app/RunPreview.h"
#include "common/DecimalNumber.h"
#include "common/ScopeExit.h"
#include "residual/RingLimits.h"

namespace torvane {

TfrmMain::TfrmMain(Platform& platform) : platform_(platform) {
  const ImageSize size = platform_.PictureSize(Control::img_uba);
  left_picture_ = RgbCanvas(size.width, size.height);
  right_picture_ = RgbCanvas(size.width, size.height);
  save_dialog2_ = PictureSaveDialog();
  // The pictures start as a white area in a black frame; the window shows
  // them when it reads its settings (ReadCfg).
  left_picture_.Clear();
  right_picture_.Clear();
}

void TfrmMain::btn_stopClick() { stop_requested_ = true; }

bool TfrmMain::CheckNumber(Control field) {
  const std::string text = platform_.Text(field);
  std::string problem;
  double value = 0;
  if (text.empty()) {
    problem = "Parameter is required";
  } else if (!ParseTypedDecimal(text, platform_.DecimalSeparator(), value)) {
    problem = text + " Is not a number";
  } else if (!(value > 0)) {
    problem = "Radius must be greater than 0";
  }
  if (problem.empty()) return true;
  platform_.ShowMessage(problem, "Error", MessageButtons::kOk);
  platform_.SetFocus(field);
  return false;
}

// A field that skipped its check on leaving (or was never left) can still
// hold text that is no number; the run is then refused with the conversion's
// own message.
bool TfrmMain::ReadNumber(Control field, double& value) {
  const std::string text = platform_.Text(field);
  if (ParseTypedDecimal(text, platform_.DecimalSeparator(), value)) return true;
  platform_.ShowInfo(NotANumberMessage(text));
  return false;
}

bool TfrmMain::TakeParameters() {
  const std::string input = platform_.Text(Control::txt_in);
  const std::string output = platform_.Text(Control::txt_out);
  auto refuse = [this](std::string_view message, Control focus) {
    platform_.ShowInfo(message);
    platform_.SetFocus(focus);
    return false;
  };
  const bool grid_mode = platform_.Checked(Control::chb_grd);
  const std::string grid = platform_.Text(Control::txt_grd);
  if (const auto refusal = CheckRunFiles(input, output, grid_mode, grid)) {
    constexpr Control kFocus[] = {Control::txt_in, Control::txt_out, Control::txt_grd};
    return refuse(refusal->message, kFocus[static_cast<int>(refusal->field)]);
  }
  int ring_points = request_.ring.ring_points;
  if (grid_mode &&
      !(ParseWholeNumber(platform_.Text(Control::txt_n), ring_points) && ring_points >= 1)) {
    return refuse(kRingPointsRefusal, Control::txt_n);
  }
  if (grid_mode && ring_points > kMostRingPoints) {
    return refuse(RingPointsLimitMessage(), Control::txt_n);
  }

  double radius = 0;
  if (!ReadNumber(Control::txt_rfs, radius)) return false;
  double band = request_.ring.band;
  if (!grid_mode) {
    if (!ReadNumber(Control::txt_rfa, band)) return false;
    if (band > radius) return refuse(kBandRefusal, Control::txt_rfa);
  }

  // "Radius for gridding": above 0 it replaces R as the previews' node
  // spacing, cut-off and reach, so a small value gives a finer preview at
  // any R; 0 (or an empty field) keeps R.
  double gridding = 0;
  if (!platform_.Text(Control::txt_nearest).empty() && !ReadNumber(Control::txt_nearest, gridding)) {
    return false;
  }

  request_.stations.path = input;
  request_.stations.columns = {
      platform_.ItemIndex(Control::cmb_gx), platform_.ItemIndex(Control::cmb_gy),
      platform_.ItemIndex(Control::cmb_point), platform_.ItemIndex(Control::cmb_uba)};
  request_.stations.columns.height = request_.stations.gravity_reduction ? height_column_ : -1;
  request_.output_path = output;
  request_.ring.radius = radius;
  request_.ring.band = band;
  request_.gridding_radius = gridding;
  request_.ring.use_grid = grid_mode;
  if (grid_mode) {
    request_.ring.grid_path = grid;
    request_.ring.ring_points = ring_points;
  }
  request_.ring.use_interpolated_cba = platform_.Checked(Control::chb_interpol);
  return true;
}

void TfrmMain::SetRunningButtons(bool running) {
  platform_.SetEnabled(Control::btn_calc, !running);
  platform_.SetVisible(Control::btn_exit, !running);
  platform_.SetVisible(Control::btn_stop, running);
}

void TfrmMain::btn_calcClick() {
  if (result_.busy) return;  // Calc is disabled during a run; a stray press changes nothing
  calc_refused_ = false;
  try {
    if (!TakeParameters()) {
      calc_refused_ = true;
      return;
    }
    result_.busy = true;
    SetRunningButtons(true);
    const ScopeExit idle([this] {
      SetRunningButtons(false);
      result_.busy = false;
    });
    RunCalculation();
  } catch (const std::bad_alloc&) {
    platform_.ShowInfo("Out of memory");
  } catch (const std::exception& error) {
    platform_.ShowInfo(error.what());
  }
}

void TfrmMain::ClearPictures() {
  left_picture_.Clear();
  right_picture_.Clear();
  platform_.ShowPicture(Control::img_uba, left_picture_);
  platform_.ShowPicture(Control::img_regta, right_picture_);
}

void TfrmMain::RunCalculation() {
  const ScopeExit clear_stop([this] { stop_requested_ = false; });
  stopped_ = false;
  result_.Clear();
  platform_.SetProgressPosition(0);
  // A Stop during the computation puts back what the pictures showed.
  const RgbCanvas earlier_left = left_picture_;
  const RgbCanvas earlier_right = right_picture_;
  ClearPictures();
  platform_.ProcessEvents();

  const bool written = Run(
      platform_, request_, result_,
      [this] { return RunPreviewStep(Control::cb1, kCbaSlot, Control::img_uba); },
      &stop_requested_);
  // A work CRS that is not the grid's is a Calc refused, as its checks refuse.
  if (result_.refused) calc_refused_ = true;
  // A Stop pressed while the stations were read or the rings gathered asked
  // "Cancel calculation?": a Yes ended the run with no table written (an
  // earlier one stays as it was), and the pictures show again what they
  // showed. A Stop during the CBA preview ends the run as it always has.
  // The flag is cleared when the computation ends, however it ends.
  stopped_ = !written && result_.stopped;
  stop_requested_ = false;
  if (!written) {
    if (stopped_) {
      left_picture_ = earlier_left;
      right_picture_ = earlier_right;
      platform_.ShowPicture(Control::img_uba, left_picture_);
      platform_.ShowPicture(Control::img_regta, right_picture_);
    }
    return;
  }
  RunPreviewStep(Control::cb2, kResidualSlot, Control::img_regta);
}

}  // namespace torvane
