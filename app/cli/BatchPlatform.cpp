#include "app/cli/BatchPlatform.h"


#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include "app/cli/CliMessages.h"

namespace torvane {
namespace {

// The window's texts may start or end with a line break, which a log line
// does without.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == '\n' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

BatchPlatform::BatchPlatform(char decimal_separator, bool show_progress)
    : MemoryPlatform(decimal_separator) {
  if (show_progress) progress_ = std::make_unique<ProgressBar>(stderr);
}

void BatchPlatform::ShowInfo(std::string_view text) {
  ShowMessage(text, kApplicationTitle, MessageButtons::kOk);
}

// There is nobody to answer a question in a batch run: a Yes/No question is
// answered No, so that the run goes on.
MessageResult BatchPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                         MessageButtons buttons) {
  PrintOnce(caption, text);
  return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
}

// The log names the file and, where the system gave one, its reason.
void BatchPlatform::ShowFileError(std::string_view text, std::string_view path, int system_error,
                                  std::string_view caption) {
  std::string line(Trimmed(text));
  if (!path.empty() && line.find(path) == std::string::npos) {
    line += ": ";
    line += path;
  }
  if (system_error != 0) {
    line += ": ";
    line += std::strerror(system_error);
  }
  PrintOnce(caption.empty() ? kApplicationTitle : caption, line);
}

// A message the run repeats (each grid reader that tries a missing file says
// so, some as an error, some as a note) is printed once.
void BatchPlatform::PrintOnce(std::string_view caption, std::string_view text) {
  EndProgress();
  text = Trimmed(text);
  if (shown_.find(text) != shown_.end()) return;
  shown_.emplace(text);
  PrintMessage(caption, text);
}

void BatchPlatform::WriteConsoleNote(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void BatchPlatform::SetProgressRange(int minimum, int maximum) {
  MemoryPlatform::SetProgressRange(minimum, maximum);
  if (progress_) progress_->SetRange(minimum, maximum);
}

void BatchPlatform::SetProgressPosition(int position) {
  MemoryPlatform::SetProgressPosition(position);
  if (progress_) progress_->SetPosition(position);
}

void BatchPlatform::EndProgress() {
  if (progress_) progress_->Erase();
}

}  // namespace torvane
