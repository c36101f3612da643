#include "app/cli/CliMessages.h"

#include <cstdio>
#include <string>

namespace torvane {

void PrintMessage(std::string_view caption, std::string_view text) {
  // A message of several lines keeps the prefix on each, so that a reader of
  // the log can tell every line's origin.
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (!line.empty() || end == text.size()) {
      std::fprintf(stderr, "torvane-cli: %.*s: %.*s\n", static_cast<int>(caption.size()),
                   caption.data(), static_cast<int>(line.size()), line.data());
    }
    start = end + 1;
  }
  std::fflush(stderr);
}

// One line, prefixed like every other, with the hint to --help.
int UsageError(std::string_view text) {
  PrintMessage("Usage error", std::string(text) + " (see torvane-cli --help)");
  return kExitUsageError;
}

}  // namespace torvane
