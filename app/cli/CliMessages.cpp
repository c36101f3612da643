#include "app/cli/CliMessages.h"

#include <cstdio>

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

int UsageError(std::string_view text) {
  PrintMessage("Usage error", text);
  std::fputs("Run with --help for more information.\n", stderr);
  return kExitUsageError;
}

}  // namespace torvane
