#pragma once
// The platform of the batch command: controls held in memory, every message
// printed on stderr with its caption (once, however often the run repeats it), the console note on stdout, and a
// progress bar when stderr is a terminal.

#include <memory>
#include <set>
#include <string>

#include "app/MemoryPlatform.h"
#include "app/cli/ProgressBar.h"

namespace torvane {


class BatchPlatform : public MemoryPlatform {
 public:
  BatchPlatform(char decimal_separator, bool show_progress);

  void ShowInfo(std::string_view text) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;
  void ShowFileError(std::string_view text, std::string_view path, int system_error,
                     std::string_view caption) override;
  void WriteConsoleNote(std::string_view text) override;
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgressPosition(int position) override;

  // Takes the progress bar off the terminal line.
  void EndProgress();

 private:
  // Prints a message once, however often the run repeats it.
  void PrintOnce(std::string_view caption, std::string_view text);

  std::unique_ptr<ProgressBar> progress_;  // none unless stderr is a terminal
  std::set<std::string, std::less<>> shown_;  // the text of every message printed
};

}  // namespace torvane
