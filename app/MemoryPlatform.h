#pragma once
// A Platform without a window: it keeps the controls' state in memory,
// starting from the window's defaults. The batch command and the tests build
// on it and decide themselves what a message, the progress bar or event
// processing means to them.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "app/Platform.h"

namespace torvane {

// The size of the window's two picture boxes, in pixels.
inline constexpr ImageSize kPictureBoxSize{177, 145};

class MemoryPlatform : public Platform {
 public:
  explicit MemoryPlatform(char decimal_separator);

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
  void SetProgressPosition(int position) override;
  void ProcessEvents() override;

  ImageSize PictureSize(Control image) override;
  void ShowPicture(Control image, const RgbCanvas& canvas) override;

  // Nobody answers a dialog here: every one is cancelled.
  bool ExecuteFileDialog(FileDialog dialog, FileDialogState& state) override;
  bool SetBusyCursor(bool busy) override;
  void CloseWindow() override { close_requested_ = true; }

  std::uint64_t AvailablePhysicalMemory() override;
  char DecimalSeparator() override { return decimal_separator_; }
  std::string ExecutablePath() override;

  // State as a test or the batch command sees it.
  bool Enabled(Control control) const { return State(control).enabled; }
  bool Visible(Control control) const { return State(control).visible; }
  Control focus() const { return focus_; }
  int progress_position() const { return progress_position_; }
  const RgbCanvas& picture(Control image) const;
  bool busy_cursor() const { return busy_cursor_; }
  bool close_requested() const { return close_requested_; }

  // 0 means "ask the system".
  void set_available_memory(std::uint64_t bytes) { available_memory_ = bytes; }
  // Empty means "the running program's own path".
  void set_executable_path(std::string path) { executable_path_ = std::move(path); }

 private:
  struct ControlState {
    std::string text;
    bool checked = false;
    int item_index = -1;
    bool enabled = true;
    bool visible = true;
  };
  ControlState& State(Control control) { return controls_[static_cast<std::size_t>(control)]; }
  const ControlState& State(Control control) const {
    return controls_[static_cast<std::size_t>(control)];
  }

  std::array<ControlState, kControlCount> controls_;
  Control focus_ = Control::txt_in;
  int progress_position_ = 0;
  RgbCanvas left_picture_;
  RgbCanvas right_picture_;
  bool busy_cursor_ = false;
  bool close_requested_ = false;
  char decimal_separator_;
  std::uint64_t available_memory_ = 0;
  std::string executable_path_;
};

}  // namespace torvane
