#pragma once
// A file error as one line of a log: the message without the line breaks a
// window's text may start or end with, the file's name (unless the message
// names it already) and the system's reason. The batch command and the
// Python module report file errors in the same words.

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane {

// `text` without leading or trailing line breaks.
std::string_view WithoutLineBreaks(std::string_view text);

// A reason of our own beside the system's errno values: a text file whose
// line (or whose start, with no line end) is longer than any line of
// points can be, such as a binary file or a device that never ends.
inline constexpr int kLineTooLong = 0x7fff0001;
inline constexpr std::size_t kMostLineBytes = std::size_t{1} << 20;

// `system_error` is an errno value (or kLineTooLong), 0 when none is known.
std::string FileErrorLine(std::string_view text, std::string_view path, int system_error);

}  // namespace torvane
