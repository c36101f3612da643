#include "app/MemoryPlatform.h"

#include <filesystem>

#include "app/ControlDefaults.h"
#include "common/SystemMemory.h"

namespace torvane {

MemoryPlatform::MemoryPlatform(char decimal_separator) : decimal_separator_(decimal_separator) {
  for (const ControlDefault& d : ControlDefaults()) {
    ControlState& state = State(d.control);
    state.text = std::string(d.text);
    state.item_index = d.item_index;
  }
}

std::string MemoryPlatform::Text(Control control) { return State(control).text; }
void MemoryPlatform::SetText(Control control, std::string_view text) {
  State(control).text = std::string(text);
}
bool MemoryPlatform::Checked(Control control) { return State(control).checked; }
void MemoryPlatform::SetChecked(Control control, bool checked) { State(control).checked = checked; }
int MemoryPlatform::ItemIndex(Control control) { return State(control).item_index; }
void MemoryPlatform::SetItemIndex(Control control, int index) { State(control).item_index = index; }
void MemoryPlatform::SetEnabled(Control control, bool enabled) { State(control).enabled = enabled; }
void MemoryPlatform::SetVisible(Control control, bool visible) { State(control).visible = visible; }
void MemoryPlatform::SetFocus(Control control) { focus_ = control; }

void MemoryPlatform::ShowInfo(std::string_view) {}
MessageResult MemoryPlatform::ShowMessage(std::string_view, std::string_view,
                                          MessageButtons buttons) {
  return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
}
void MemoryPlatform::WriteConsoleNote(std::string_view) {}

void MemoryPlatform::SetProgressRange(int, int) {}
void MemoryPlatform::SetProgressPosition(int position) { progress_position_ = position; }
void MemoryPlatform::ProcessEvents() {}

ImageSize MemoryPlatform::PictureSize(Control) { return kPictureBoxSize; }

void MemoryPlatform::ShowPicture(Control image, const RgbCanvas& canvas) {
  (image == Control::img_regta ? right_picture_ : left_picture_) = canvas;
}

const RgbCanvas& MemoryPlatform::picture(Control image) const {
  return image == Control::img_regta ? right_picture_ : left_picture_;
}

bool MemoryPlatform::ExecuteFileDialog(FileDialog, FileDialogState&) { return false; }

bool MemoryPlatform::SetBusyCursor(bool busy) {
  const bool was_busy = busy_cursor_;
  busy_cursor_ = busy;
  return was_busy;
}

std::string MemoryPlatform::ExecutablePath() {
  if (!executable_path_.empty()) return executable_path_;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

std::uint64_t MemoryPlatform::AvailablePhysicalMemory() {
  return available_memory_ != 0 ? available_memory_ : torvane::AvailablePhysicalMemory();
}

}  // namespace torvane
