#include "app/Hvw.h"

#include <exception>
#include <new>
#include <string>

#include "app/ControlDefaults.h"
#include "common/DecimalNumber.h"
#include "common/SameFile.h"
#include "common/ScopeExit.h"
#include "points/PointFileReader.h"
#include "residual/RingLimits.h"
#include "points/SurveyProjection.h"
#include "points/SurveyReduction.h"
#include "residual/ComputeResiduals.h"

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
  } else if (!ParseDecimal(text, platform_.DecimalSeparator(), value)) {
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
  if (ParseDecimal(text, platform_.DecimalSeparator(), value)) return true;
  platform_.ShowInfo("'" + text + "' is not a valid floating point value");
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
  if (input.empty()) return refuse("Input file name is required field.", Control::txt_in);
  if (output.empty()) return refuse("Output file name is required field.", Control::txt_out);
  // The same file by another name (./, an absolute path, a link) counts as
  // the same name: the table would replace the survey.
  constexpr std::string_view kSameName = "Input and output file name must not be the same.";
  if (SameFile(output, input)) return refuse(kSameName, Control::txt_out);
  const bool grid_mode = platform_.Checked(Control::chb_grd);
  const std::string grid = platform_.Text(Control::txt_grd);
  if (grid_mode && grid.empty()) {
    return refuse("Grid file name is required field.", Control::txt_grd);
  }
  if (grid_mode && SameFile(output, grid)) return refuse(kSameName, Control::txt_out);
  int ring_points = parameters_.ring_points;
  if (grid_mode &&
      !(ParseWholeNumber(platform_.Text(Control::txt_n), ring_points) && ring_points >= 1)) {
    return refuse("Number of points must be a whole number greater than 0", Control::txt_n);
  }
  if (grid_mode && ring_points > kMostRingPoints) {
    return refuse("Number of points must be at most " + std::to_string(kMostRingPoints),
                  Control::txt_n);
  }

  double radius = 0;
  if (!ReadNumber(Control::txt_rfs, radius)) return false;
  double band = parameters_.depth_band;
  if (!grid_mode) {
    if (!ReadNumber(Control::txt_rfa, band)) return false;
    if (band > radius) return refuse("Depth must be <= than radius for search.", Control::txt_rfa);
  }

  // "Radius for gridding": above 0 it replaces R as the previews' node
  // spacing, cut-off and reach, so a small value gives a finer preview at
  // any R; 0 (or an empty field) keeps R.
  double gridding = 0;
  if (!platform_.Text(Control::txt_nearest).empty() && !ReadNumber(Control::txt_nearest, gridding)) {
    return false;
  }
  const double preview_radius = gridding > 0 ? gridding : radius;

  parameters_.input_path = input;
  parameters_.output_path = output;
  parameters_.search_radius = radius;
  parameters_.depth_band = band;
  parameters_.cell_size = preview_radius;
  parameters_.preview_step = preview_radius;
  parameters_.preview_radius = preview_radius;
  parameters_.preview_reach = preview_radius;
  parameters_.columns = {platform_.ItemIndex(Control::cmb_gx), platform_.ItemIndex(Control::cmb_gy),
                         platform_.ItemIndex(Control::cmb_point),
                         platform_.ItemIndex(Control::cmb_uba)};
  parameters_.columns.height = parameters_.gravity_reduction ? parameters_.height_column : -1;
  parameters_.use_grid = grid_mode;
  if (grid_mode) {
    parameters_.grid_path = grid;
    parameters_.ring_points = ring_points;
  }
  parameters_.use_interpolated_cba = platform_.Checked(Control::chb_interpol);
  return true;
}

void TfrmMain::SetRunningButtons(bool running) {
  platform_.SetEnabled(Control::btn_calc, !running);
  platform_.SetVisible(Control::btn_exit, !running);
  platform_.SetVisible(Control::btn_stop, running);
}

void TfrmMain::btn_calcClick() {
  if (running_) return;  // Calc is disabled during a run; a stray press changes nothing
  calc_refused_ = false;
  try {
    if (!TakeParameters()) {
      calc_refused_ = true;
      return;
    }
    running_ = true;
    SetRunningButtons(true);
    const ScopeExit idle([this] {
      SetRunningButtons(false);
      running_ = false;
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
  results_ready_ = false;
  stopped_ = false;
  cluster_.Clear();
  points_.Clear();
  ring_counts_ = {};
  ring_qualities_ = {};
  platform_.SetProgressPosition(0);
  // A Stop during the computation puts back what the pictures showed.
  const RgbCanvas earlier_left = left_picture_;
  const RgbCanvas earlier_right = right_picture_;
  ClearPictures();
  platform_.ProcessEvents();

  cluster_refused_ = false;
  if (!ReadPointFile(platform_, parameters_.input_path, parameters_.columns, points_,
                     parameters_.column_names, parameters_.csv_decimal_separator) ||
      !ReduceAbsoluteGravity() || !ProjectSurvey(platform_, parameters_.crs, points_)) {
    return;
  }
  if (!RunPreviewStep(Control::cb1, kFirstCbaSlot, Control::img_uba)) return;
  if (!RunComputation()) {
    if (stopped_) {
      left_picture_ = earlier_left;
      right_picture_ = earlier_right;
      platform_.ShowPicture(Control::img_uba, left_picture_);
      platform_.ShowPicture(Control::img_regta, right_picture_);
    }
    return;
  }
  results_ready_ = true;
  WarnIfEveryRingEmpty();
  WarnIfAnomalyLooksAbsolute();
  RunPreviewStep(Control::cb2, kFirstResidualSlot, Control::img_regta);
}

// A Stop pressed while the rings are gathered asks "Cancel calculation?": a
// Yes ends the run with no table written (an earlier one stays as it was).
// The flag is cleared when the computation ends, however it ends.
bool TfrmMain::RunComputation() {
  const ScopeExit clear_stop([this] { stop_requested_ = false; });
  ResidualRequest request{parameters_.output_path, parameters_.search_radius,
                          parameters_.depth_band};
  request.use_grid = parameters_.use_grid;
  request.grid_path = parameters_.grid_path;
  request.use_interpolated_cba = parameters_.use_interpolated_cba;
  request.ring_points = parameters_.ring_points;
  request.grid_memory_limit = parameters_.grid_memory_limit;
  empty_rings_ = 0;
  request.ring_counts = &ring_counts_;
  request.qualities = &ring_qualities_;
  request.quality = parameters_.ring_quality;
  request.blanking = parameters_.blanking;
  request.stop_requested = &stop_requested_;
  const bool written = ComputeResiduals(platform_, request, points_, &empty_rings_);
  stopped_ = !written && stop_requested_;
  return written;
}

// A table of zeros is written as asked, but not without a word: it almost
// always means a band of 0, a radius in other units than the coordinates,
// or a grid away from the points.
void TfrmMain::WarnIfEveryRingEmpty() {
  if (points_.count() == 0 || empty_rings_ < points_.count()) return;
  const std::string what =
      parameters_.use_grid
          ? "no sample of the grid on any point's ring. Check the radius for search, that the "
            "grid covers the points, and the coordinates' units (the radius is in metres)."
          : "no survey point at R +- D from any point. Check the band (+- D), the radius for "
            "search, and the coordinates' units (R and D are in metres).";
  platform_.ShowMessage("Every point has N = 0 and its residual was written as 0: there is " + what,
                        "Warning", MessageButtons::kOk);
}

// Absolute gravity becomes the simple Bouguer anomaly the rings take, once
// the stations are read and before they are projected (their latitudes come
// from the file's coordinates).
bool TfrmMain::ReduceAbsoluteGravity() {
  if (!parameters_.gravity_reduction) return true;
  if (parameters_.crs.crs.empty()) {
    points_.Clear();
    platform_.ShowInfo(
        "Absolute gravity needs each station's latitude: give the coordinate reference system "
        "of X and Y");
    return false;
  }
  return ReduceSurvey(platform_, *parameters_.gravity_reduction, parameters_.crs.crs,
                      parameters_.input_path, CbaColumnName(parameters_), points_, nullptr);
}

void TfrmMain::WarnIfAnomalyLooksAbsolute() {
  if (!parameters_.gravity_reduction) {
    WarnIfAbsoluteGravity(platform_, points_, CbaColumnName(parameters_));
  }
}

}  // namespace torvane
