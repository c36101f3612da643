#pragma once
// The checks Calc makes on a run's files before anything runs, in the
// window's order and with its messages; torvane-cli makes the same ones.

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

inline constexpr std::string_view kRingPointsRefusal =
    "Number of points must be a whole number greater than 0";
inline constexpr std::string_view kBandRefusal = "Depth must be <= than radius for search.";

// N beyond kMostRingPoints: "Number of points must be at most 1048576".
std::string RingPointsLimitMessage();

// A field's text that is no number: "'<text>' is not a valid floating point value".
std::string NotANumberMessage(const std::string& text);

// The field a refusal sends the user back to.
enum class RunFile { kInput, kOutput, kGrid };

struct FileRefusal {
  std::string_view message;
  RunFile field;
};

// The names must be given, and the table may not replace the point file or,
// in grid mode, the grid, by any name (./, an absolute path, a link).
std::optional<FileRefusal> CheckRunFiles(const std::string& input, const std::string& output,
                                         bool grid_mode, const std::string& grid);

}  // namespace torvane
