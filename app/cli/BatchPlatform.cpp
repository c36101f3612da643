#include "app/cli/BatchPlatform.h"
#include "app/cli/StandardStreams.h"


#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include "app/cli/CliMessages.h"
#include "common/FileErrorLine.h"

namespace torvane {
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
  const std::string line = FileErrorLine(text, path, system_error);
  PrintOnce(caption.empty() ? kApplicationTitle : caption, line);
}

// A message the run repeats (each grid reader that tries a missing file says
// so, some as an error, some as a note) is printed once.
void BatchPlatform::PrintOnce(std::string_view caption, std::string_view text) {
  EndProgress();
  text = WithoutLineBreaks(text);
  if (shown_.find(text) != shown_.end()) return;
  shown_.emplace(text);
  PrintMessage(caption, text);
}

void BatchPlatform::WriteConsoleNote(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), SummaryStream());
  std::fflush(SummaryStream());
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
