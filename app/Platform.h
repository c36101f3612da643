#pragma once
// The window's operations on top of Reporter: the controls' state, the two
// picture boxes, the file dialogs, the busy cursor and closing the window.
// The Qt window, the batch command's memory of the controls and the tests each
// implement it, so one logic (TfrmMain) runs behind all three.

#include <string>
#include <string_view>

#include "common/Reporter.h"
#include "common/RgbCanvas.h"

namespace torvane {

// The window's controls, named as the window names them.
enum class Control {
  txt_in, btn_in, cmb_gx, cmb_gy, cmb_point, cmb_uba,
  chb_grd, txt_grd, btn_grd, txt_n, chb_interpol,
  txt_out, btn_out, txt_rfs, txt_rfa, ProgressBar1,
  cb_preview, txt_nearest, btn_calc, btn_exit, btn_stop,
  cb1, cb2, img_uba, img_regta, btn_save1, btn_save2,
};
inline constexpr int kControlCount = static_cast<int>(Control::btn_save2) + 1;

// The window's three file dialogs: the open dialog shared by the point file
// and grid choosers, the save dialog of the output table, and the save
// dialog of the two preview pictures.
enum class FileDialog { OpenDialog1, SaveDialog1, SaveDialog2 };

// What a file dialog shows, and what the user chose in it. A filter is
// written "Description (*.ext)|*.ext|Other (*.*)|*.*"; filter_index counts
// its entries from 1.
struct FileDialogState {
  std::string file_name;
  std::string filter;
  std::string default_extension;
  int filter_index = 1;
};

class Platform : public Reporter {
 public:
  // Control state.
  virtual std::string Text(Control control) = 0;
  virtual void SetText(Control control, std::string_view text) = 0;
  virtual bool Checked(Control control) = 0;
  virtual void SetChecked(Control control, bool checked) = 0;
  virtual int ItemIndex(Control control) = 0;
  virtual void SetItemIndex(Control control, int index) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetFocus(Control control) = 0;

  // The two picture boxes: their size, and showing a canvas in one of them.
  virtual ImageSize PictureSize(Control image) = 0;
  virtual void ShowPicture(Control image, const RgbCanvas& canvas) = 0;

  // Shows a file dialog modally, starting in the current working directory
  // when file_name names no folder. On OK: true, with file_name set to the
  // chosen full path and filter_index to the chosen filter. On cancel: false,
  // and `state` is unchanged.
  virtual bool ExecuteFileDialog(FileDialog dialog, FileDialogState& state) = 0;

  // Shows the busy cursor while `busy` is true. Answers whether it was shown
  // before, so that a caller can restore what it found.
  virtual bool SetBusyCursor(bool busy) = 0;

  // Closes the main window (its close handler then runs).
  virtual void CloseWindow() = 0;

  // The full path of the running program.
  virtual std::string ExecutablePath() = 0;
};

}  // namespace torvane
