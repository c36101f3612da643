#pragma once
// Where torvane-cli's lines go. The table may go to standard output
// (--output -); then every other line, the summaries included, goes to
// stderr, so that the pipe carries the table alone. Only the tables can be
// written there: the other outputs refuse '-'.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// The stream of the summaries ("Residual table of 3000 points written to
// ..."): stdout, or stderr once the table goes to stdout.
std::FILE* SummaryStream();
// Sends the summaries to stderr when `table_path` is "-".
void KeepStandardOutputFor(std::string_view table_path);

// A usage error (told, and answered as its exit code) when an output that
// cannot go to standard output is named "-".
std::optional<int> RefuseStandardOutput(std::string_view flag,
                                        const std::optional<std::string>& path);

}  // namespace torvane
