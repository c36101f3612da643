#pragma once
// The platform of the batch command: controls held in memory, every message
// printed on stderr with its caption, the console note on stdout, and a
// progress bar when stderr is a terminal.

#include <memory>

#include "app/MemoryPlatform.h"
#include "app/cli/ProgressBar.h"

namespace torvane {

// The decimal separator of the user's locale (LC_ALL / LC_NUMERIC).
char LocaleDecimalSeparator();

class BatchPlatform : public MemoryPlatform {
 public:
  BatchPlatform(char decimal_separator, bool show_progress);

  void ShowInfo(std::string_view text) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;
  void WriteConsoleNote(std::string_view text) override;
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgressPosition(int position) override;

  // Takes the progress bar off the terminal line.
  void EndProgress();

 private:
  std::unique_ptr<ProgressBar> progress_;  // none unless stderr is a terminal
};

}  // namespace torvane
