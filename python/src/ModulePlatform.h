#pragma once
// The reporter of the Python module: no window and nobody to answer. The
// messages the core shows are kept, in order, to be raised as an exception
// (when the call failed) or issued as warnings (when it went through).

#include <string>
#include <vector>

#include "common/Reporter.h"

namespace torvane::python {

class ModulePlatform : public Reporter {
 public:
  explicit ModulePlatform(char decimal_separator) : decimal_separator_(decimal_separator) {}

  // The messages shown so far, each without leading or trailing line ends.
  const std::vector<std::string>& messages() const { return messages_; }
  // The messages as one text, a line each.
  std::string MessageText() const;

  void ShowInfo(std::string_view text) override { Keep(text); }
  // A question is answered No, as in a batch run, so that the call goes on.
  MessageResult ShowMessage(std::string_view text, std::string_view,
                            MessageButtons buttons) override {
    Keep(text);
    return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
  }
  // Named as torvane-cli names it: the file and the system's reason.
  void ShowFileError(std::string_view text, std::string_view path, int system_error,
                     std::string_view caption = {}) override;
  // Console notes repeat a message that is also shown: not kept twice.
  void WriteConsoleNote(std::string_view) override {}

  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void ProcessEvents() override {}

  std::uint64_t AvailablePhysicalMemory() override;
  char DecimalSeparator() override { return decimal_separator_; }

 private:
  void Keep(std::string_view text);

  char decimal_separator_;
  std::vector<std::string> messages_;
};

}  // namespace torvane::python
