#include "app/cli/StandardStreams.h"

#include "app/cli/CliMessages.h"
#include "common/AtomicFile.h"

namespace torvane {
namespace {

std::FILE* g_summaries = nullptr;  // stdout until the table takes it

}  // namespace

std::FILE* SummaryStream() { return g_summaries != nullptr ? g_summaries : stdout; }

void KeepStandardOutputFor(std::string_view table_path) {
  if (AtomicFile::IsStandardOutput(table_path)) g_summaries = stderr;
}

std::optional<int> RefuseStandardOutput(std::string_view flag,
                                        const std::optional<std::string>& path) {
  if (!path || !AtomicFile::IsStandardOutput(*path)) return std::nullopt;
  return UsageError(std::string(flag) +
                    ": '-' (standard output) takes only a residual table (--output -); name a "
                    "file for this output");
}

}  // namespace torvane
