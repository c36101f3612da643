#pragma once
// Every line torvane-cli writes on stderr goes through these, so that all of
// them have one prefix style.

#include <string_view>

namespace torvane {

inline constexpr int kExitWritten = 0;     // everything asked for was written
inline constexpr int kExitRunFailed = 1;   // the run failed, or an output could not be written
inline constexpr int kExitUsageError = 2;  // refused before anything ran

// "torvane-cli: <caption>: <text>", one line per line of text.
void PrintMessage(std::string_view caption, std::string_view text);
inline void PrintError(std::string_view text) { PrintMessage("Error", text); }
inline void PrintNote(std::string_view text) { PrintMessage("Note", text); }
// Prints a usage error, with the hint to --help on the same line, and answers
// kExitUsageError.
int UsageError(std::string_view text);

}  // namespace torvane
