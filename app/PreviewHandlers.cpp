// The window's preview handlers: the two gridding steps of a run, the
// variable lists that grid a picture again, and the save buttons.

#include <cctype>

#include "app/ControlDefaults.h"
#include "app/ExportClash.h"
#include "app/Hvw.h"
#include "app/PaintPreview.h"
#include "app/RunPreview.h"
#include "common/ScopeExit.h"

namespace torvane {
namespace {

// The text of the list's selected entry, or the list's own text when none of
// its entries is selected.
std::string SelectedEntryText(Platform& platform, Control list) {
  const std::span<const std::string_view> entries = ItemsOf(list);
  const int index = platform.ItemIndex(list);
  if (index >= 0 && static_cast<std::size_t>(index) < entries.size()) {
    return std::string(entries[static_cast<std::size_t>(index)]);
  }
  return platform.Text(list);
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

RgbCanvas& TfrmMain::PictureOf(Control image) {
  return image == Control::img_regta ? right_picture_ : left_picture_;
}

PreviewOutcome TfrmMain::GridPicture(Control list, int first_slot) {
  // A gridding already under way ignores this one and keeps the cursor.
  if (preview_.gridding) return PreviewOutcome::kIgnored;
  const bool was_busy = platform_.SetBusyCursor(true);
  const ScopeExit restore_cursor([this, was_busy] { platform_.SetBusyCursor(was_busy); });
  // Both pictures have the size img_uba had when the window was created.
  return GridRunPreview(platform_, request_, result_, first_slot + platform_.ItemIndex(list),
                        {left_picture_.width(), left_picture_.height()}, stop_requested_,
                        preview_);
}

void TfrmMain::PaintPicture(Control image) {
  PaintPreview(preview_.pixels, PictureOf(image));
  platform_.ShowPicture(image, PictureOf(image));
}

// The cells the previews are gridded on are laid only when a preview is
// drawn: a run without previews needs memory for its points alone, whatever
// the radius. Cells too many for memory are refused once a run (the user
// has been told), and the run goes on without previews.
// "Preview grids" is read when the run gets here, not when it started. False
// when the user cancelled the gridding, which ends the run.
bool TfrmMain::RunPreviewStep(Control list, int first_slot, Control image) {
  if (!platform_.Checked(Control::cb_preview) || !EnsureCluster()) return true;
  const PreviewOutcome outcome = GridPicture(list, first_slot);
  if (stop_requested_) return false;
  if (outcome == PreviewOutcome::kCompleted) {
    PaintPicture(image);
    platform_.ProcessEvents();
  }
  return true;
}

void TfrmMain::RegridPreview(Control list, int first_slot, Control image) {
  if (!platform_.Checked(Control::cb_preview) || !ResultsReady() || !EnsureCluster()) return;
  // The points are in use until the gridding ends: Calc, which would replace
  // them, waits like during a run. A Stop outside a run means nothing after.
  const bool in_run = result_.busy;
  result_.busy = true;
  const ScopeExit restore([this, in_run] {
    result_.busy = in_run;
    if (!in_run) stop_requested_ = false;
  });
  if (GridPicture(list, first_slot) == PreviewOutcome::kCompleted) PaintPicture(image);
}

void TfrmMain::cb1Change() { RegridPreview(Control::cb1, kCbaSlot, Control::img_uba); }
void TfrmMain::cb2Change() { RegridPreview(Control::cb2, kResidualSlot, Control::img_regta); }

void TfrmMain::SavePictureAs(Control list, Control image) {
  if (!platform_.Checked(Control::cb_preview) || !ResultsReady()) return;
  save_dialog2_.file_name = LowerCase(SelectedEntryText(platform_, list)) + ".bmp";
  if (!platform_.ExecuteFileDialog(FileDialog::SaveDialog2, save_dialog2_)) return;
  // The chosen filter decides the format, whatever the name's extension.
  SavePicture(image, save_dialog2_.file_name,
              save_dialog2_.filter_index == 1 ? PictureFormat::kBitmap : PictureFormat::kJpeg);
}

void TfrmMain::btn_save1Click() { SavePictureAs(Control::cb1, Control::img_uba); }
void TfrmMain::btn_save2Click() { SavePictureAs(Control::cb2, Control::img_regta); }

bool TfrmMain::SavePicture(Control image, const std::string& file_name, PictureFormat format) {
  if (ExportClashes(platform_, file_name)) return false;
  return SavePreviewPicture(platform_, file_name, PictureOf(image), format);
}

}  // namespace torvane
