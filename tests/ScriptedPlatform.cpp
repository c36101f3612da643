#include "tests/ScriptedPlatform.h"

#include <algorithm>

#include "app/ControlDefaults.h"

namespace torvane::testing {

std::string ControlName(Control control) { return std::string(DefaultOf(control).name); }

ScriptedPlatform::ScriptedPlatform(char decimal_separator) : MemoryPlatform(decimal_separator) {}

void ScriptedPlatform::ShowInfo(std::string_view text) {
  log.push_back("info: " + std::string(text));
}

MessageResult ScriptedPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                            MessageButtons buttons) {
  log.push_back("message: " + std::string(caption) + ": " + std::string(text) +
                (buttons == MessageButtons::kYesNo ? " [Yes/No]" : ""));
  if (buttons == MessageButtons::kOk) return MessageResult::kOk;
  if (answers.empty()) return MessageResult::kNo;
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedPlatform::WriteConsoleNote(std::string_view text) {
  log.push_back("note: " + std::string(text));
}

void ScriptedPlatform::SetEnabled(Control control, bool enabled) {
  MemoryPlatform::SetEnabled(control, enabled);
  log.push_back("enabled: " + ControlName(control) + (enabled ? "=1" : "=0"));
}

void ScriptedPlatform::SetVisible(Control control, bool visible) {
  MemoryPlatform::SetVisible(control, visible);
  log.push_back("visible: " + ControlName(control) + (visible ? "=1" : "=0"));
}

void ScriptedPlatform::SetFocus(Control control) {
  MemoryPlatform::SetFocus(control);
  log.push_back("focus: " + ControlName(control));
}

void ScriptedPlatform::SetProgressRange(int minimum, int maximum) {
  MemoryPlatform::SetProgressRange(minimum, maximum);
  log.push_back("range: " + std::to_string(minimum) + ".." + std::to_string(maximum));
}

void ScriptedPlatform::SetProgressPosition(int position) {
  MemoryPlatform::SetProgressPosition(position);
  log.push_back("progress: " + std::to_string(position));
}

void ScriptedPlatform::ProcessEvents() {
  log.push_back("events");
  if (on_events) on_events();
}

void ScriptedPlatform::ShowPicture(Control image, const RgbCanvas& canvas) {
  MemoryPlatform::ShowPicture(image, canvas);
  log.push_back("picture: " + ControlName(image));
}

bool ScriptedPlatform::ExecuteFileDialog(FileDialog dialog, FileDialogState& state) {
  static constexpr const char* kNames[] = {"OpenDialog1", "SaveDialog1", "SaveDialog2"};
  log.push_back(std::string("dialog: ") + kNames[static_cast<int>(dialog)]);
  dialogs_shown.emplace_back(dialog, state);
  if (dialog_answers.empty()) return false;
  const std::optional<DialogAnswer> answer = dialog_answers.front();
  dialog_answers.pop_front();
  if (!answer) return false;
  state.file_name = answer->file_name;
  state.filter_index = answer->filter_index;
  return true;
}

bool ScriptedPlatform::SetBusyCursor(bool busy) {
  log.push_back(busy ? "cursor: busy" : "cursor: normal");
  return MemoryPlatform::SetBusyCursor(busy);
}

void ScriptedPlatform::CloseWindow() {
  MemoryPlatform::CloseWindow();
  log.push_back("close");
}

std::vector<std::string> ScriptedPlatform::Messages() const {
  std::vector<std::string> messages;
  for (const std::string& entry : log) {
    if (entry.starts_with("info: ") || entry.starts_with("message: ")) messages.push_back(entry);
  }
  return messages;
}

int ScriptedPlatform::CountOf(std::string_view entry) const {
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

}  // namespace torvane::testing
