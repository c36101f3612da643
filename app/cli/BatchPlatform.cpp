#include "app/cli/BatchPlatform.h"

#include <clocale>
#include <cstdio>

namespace torvane {

char LocaleDecimalSeparator() {
  std::setlocale(LC_ALL, "");
  const char* mark = std::localeconv()->decimal_point;
  const char separator = mark != nullptr && mark[0] != '\0' && mark[1] == '\0' ? mark[0] : '.';
  // Only the separator is wanted; everything else keeps the C conventions.
  std::setlocale(LC_ALL, "C");
  return separator;
}

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
  EndProgress();
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
               static_cast<int>(text.size()), text.data());
  return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
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
