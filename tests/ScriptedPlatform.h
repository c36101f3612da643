#pragma once
// The tests' platform: controls in memory, and a log of every call the logic
// makes (messages with captions, focus moves, button states, progress, event
// processing, pictures shown), with Yes/No answers taken from a script.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MemoryPlatform.h"

namespace torvane::testing {

class ScriptedPlatform : public MemoryPlatform {
 public:
  explicit ScriptedPlatform(char decimal_separator = '.');

  void ShowInfo(std::string_view text) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;
  void WriteConsoleNote(std::string_view text) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetVisible(Control control, bool visible) override;
  void SetFocus(Control control) override;
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgressPosition(int position) override;
  void ProcessEvents() override;
  void ShowPicture(Control image, const RgbCanvas& canvas) override;
  bool ExecuteFileDialog(FileDialog dialog, FileDialogState& state) override;
  bool SetBusyCursor(bool busy) override;
  void CloseWindow() override;

  // Every call, in order, as "kind: detail" lines, for example
  // "info: Cannot open input data file", "message: Error: Parameter is
  // required", "focus: txt_in", "enabled: btn_calc=0", "progress: 3",
  // "events", "picture: img_uba", "dialog: SaveDialog2", "cursor: busy",
  // "cursor: normal", "close".
  std::vector<std::string> log;
  // Only the messages ("info: ..." and "message: ..." lines).
  std::vector<std::string> Messages() const;
  int CountOf(std::string_view entry) const;

  // Answers to Yes/No questions, taken front first; No when none is left.
  std::deque<MessageResult> answers;
  // Answers to file dialogs, taken front first: a chosen file name and
  // filter index, or nothing for Cancel. Cancel when none is left.
  struct DialogAnswer {
    std::string file_name;
    int filter_index = 1;
  };
  std::deque<std::optional<DialogAnswer>> dialog_answers;
  // What each file dialog was shown with, in order.
  std::vector<std::pair<FileDialog, FileDialogState>> dialogs_shown;
  // Called on every event processing, to act as a user would meanwhile.
  std::function<void()> on_events;
};

std::string ControlName(Control control);

}  // namespace torvane::testing
