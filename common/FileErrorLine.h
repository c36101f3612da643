#pragma once
// A file error as one line of a log: the message without the line breaks a
// window's text may start or end with, the file's name (unless the message
// names it already) and the system's reason. The batch command and the
// Python module report file errors in the same words.

#include <string>
#include <string_view>

namespace torvane {

// `text` without leading or trailing line breaks.
std::string_view WithoutLineBreaks(std::string_view text);

// `system_error` is an errno value, 0 when none is known.
std::string FileErrorLine(std::string_view text, std::string_view path, int system_error);

}  // namespace torvane
