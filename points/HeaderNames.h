#pragma once
// The names of a point file's header row, read from the file's start as the
// readers find it: for a CSV file its first line that is not blank (unless
// every field is a number), for a plain file its first line that is neither
// blank nor a comment, when that line holds no point. The window labels its
// column lists with them.

#include <string>
#include <vector>

namespace torvane {

// Empty when the file cannot be read or has no header row. A plain file's
// numbers use `decimal_separator`; a CSV file's '.' (or ',' when asked for).
std::vector<std::string> ReadHeaderNames(const std::string& path, char decimal_separator,
                                         char csv_decimal_separator);

}  // namespace torvane
