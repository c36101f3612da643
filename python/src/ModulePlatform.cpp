#include "ModulePlatform.h"

#include "common/FileErrorLine.h"
#include "common/SystemMemory.h"

namespace torvane::python {

// A message the call repeats (each grid reader that tries a missing file
// says so) is kept once, as torvane-cli prints it once.
void ModulePlatform::Keep(std::string_view text) {
  text = WithoutLineBreaks(text);
  if (text.empty()) return;
  for (const std::string& kept : messages_) {
    if (kept == text) return;
  }
  messages_.emplace_back(text);
}

void ModulePlatform::ShowFileError(std::string_view text, std::string_view path,
                                   int system_error, std::string_view) {
  Keep(FileErrorLine(text, path, system_error));
}

std::string ModulePlatform::MessageText() const {
  std::string text;
  for (const std::string& message : messages_) {
    if (!text.empty()) text += '\n';
    text += message;
  }
  return text;
}

std::uint64_t ModulePlatform::AvailablePhysicalMemory() {
  return torvane::AvailablePhysicalMemory();
}

}  // namespace torvane::python
