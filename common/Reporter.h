#pragma once
// How the core tells its caller what is happening: messages (with a caption
// and buttons, answered by the caller), file errors, progress, event
// processing, and the machine's state the core sizes its work by. The window,
// the batch command, the Python module and the tests each implement it; core
// code that must tell the user something calls the Reporter it was handed and
// never prints or opens dialogs on its own.

#include <cstdint>
#include <string_view>

namespace torvane {

inline constexpr std::string_view kApplicationTitle = "Torvane";

enum class MessageButtons { kOk, kYesNo };
enum class MessageResult { kOk, kYes, kNo };

class Reporter {
 public:
  virtual ~Reporter() = default;

  // ShowInfo is a plain box with OK and the application's title.
  virtual void ShowInfo(std::string_view text) = 0;
  virtual MessageResult ShowMessage(std::string_view text, std::string_view caption,
                                    MessageButtons buttons) = 0;
  // A file could not be opened, read or written. The window shows `text` as
  // it always has (with `caption`, or as ShowInfo when the caption is
  // empty); a front end that keeps a log may add the file's name and the
  // system's reason (`system_error`, an errno value; 0 when none is known).
  virtual void ShowFileError(std::string_view text, std::string_view path, int system_error,
                             std::string_view caption = {}) {
    (void)path;
    (void)system_error;
    if (caption.empty()) {
      ShowInfo(text);
    } else {
      ShowMessage(text, caption, MessageButtons::kOk);
    }
  }
  // A note on the program's standard output stream.
  virtual void WriteConsoleNote(std::string_view text) = 0;

  // Progress of long work, and the caller's chance to handle its events
  // (a Stop button, a question) between steps.
  virtual void SetProgressRange(int minimum, int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void ProcessEvents() = 0;

  // The memory the work may take now, in bytes.
  virtual std::uint64_t AvailablePhysicalMemory() = 0;
  // The decimal separator numbers of text files are written with.
  virtual char DecimalSeparator() = 0;
};

}  // namespace torvane
