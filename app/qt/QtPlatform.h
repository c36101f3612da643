#pragma once
// The platform of the desktop window: the logic's operations carried out on
// the widgets of MainWindow.

#include <QElapsedTimer>
#include <functional>
#include <string>

#include "app/Platform.h"

namespace torvane {

class MainWindow;

class QtPlatform : public Platform {
 public:
  QtPlatform(MainWindow& window, char decimal_separator);

  std::string Text(Control control) override;
  void SetText(Control control, std::string_view text) override;
  bool Checked(Control control) override;
  void SetChecked(Control control, bool checked) override;
  int ItemIndex(Control control) override;
  void SetItemIndex(Control control, int index) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetVisible(Control control, bool visible) override;
  void SetFocus(Control control) override;

  void ShowInfo(std::string_view text) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;
  void WriteConsoleNote(std::string_view text) override;

  void SetProgressRange(int minimum, int maximum) override;
  // Shown when the window next processes its events.
  void SetProgressPosition(int position) override;
  // Lets the window repaint and take input, at most every 15 ms of work:
  // the logic calls this once per point, and a million repaints would cost
  // more than the computation.
  void ProcessEvents() override;

  ImageSize PictureSize(Control image) override;
  void ShowPicture(Control image, const RgbCanvas& canvas) override;

  bool ExecuteFileDialog(FileDialog dialog, FileDialogState& state) override;
  bool SetBusyCursor(bool busy) override;
  void CloseWindow() override;

  std::uint64_t AvailablePhysicalMemory() override;
  char DecimalSeparator() override { return decimal_separator_; }
  std::string ExecutablePath() override;

  // Who answers messages and file dialogs instead of a person (for tests and
  // unattended runs); unset, a modal box or dialog asks the user.
  using MessageAnswerer = std::function<MessageResult(
      std::string_view text, std::string_view caption, MessageButtons buttons)>;
  using DialogAnswerer = std::function<bool(FileDialog dialog, FileDialogState& state)>;
  void set_message_answerer(MessageAnswerer answerer) { message_answerer_ = std::move(answerer); }
  void set_dialog_answerer(DialogAnswerer answerer) { dialog_answerer_ = std::move(answerer); }
  // Empty means "the running program's own path".
  void set_executable_path(std::string path) { executable_path_ = std::move(path); }

 private:
  bool ShowFileDialog(FileDialog dialog, FileDialogState& state);

  MainWindow& window_;
  char decimal_separator_;
  QElapsedTimer since_events_;
  int progress_position_ = 0;
  bool progress_update_pending_ = false;
  bool busy_cursor_ = false;
  MessageAnswerer message_answerer_;
  DialogAnswerer dialog_answerer_;
  std::string executable_path_;
};

}  // namespace torvane
