#include "common/FileErrorLine.h"

#include <cstring>

namespace torvane {

std::string_view WithoutLineBreaks(std::string_view text) {
  while (!text.empty() && (text.front() == '\n' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string FileErrorLine(std::string_view text, std::string_view path, int system_error) {
  std::string line(WithoutLineBreaks(text));
  if (!path.empty() && line.find(path) == std::string::npos) {
    line += ": ";
    line += path;
  }
  if (system_error == kLineTooLong) {
    line += ": a line is longer than 1 MiB (not a text file of points?)";
  } else if (system_error != 0) {
    line += ": ";
    line += std::strerror(system_error);
  }
  return line;
}

}  // namespace torvane
