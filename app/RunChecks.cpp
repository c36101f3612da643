#include "app/RunChecks.h"

#include "common/SameFile.h"
#include "residual/RingLimits.h"

namespace torvane {

std::string RingPointsLimitMessage() {
  return "Number of points must be at most " + std::to_string(kMostRingPoints);
}

std::string NotANumberMessage(const std::string& text) {
  return "'" + text + "' is not a valid floating point value";
}

std::optional<FileRefusal> CheckRunFiles(const std::string& input, const std::string& output,
                                         bool grid_mode, const std::string& grid) {
  constexpr std::string_view kSameName = "Input and output file name must not be the same.";
  if (input.empty()) return FileRefusal{"Input file name is required field.", RunFile::kInput};
  if (output.empty()) return FileRefusal{"Output file name is required field.", RunFile::kOutput};
  if (SameFile(output, input)) return FileRefusal{kSameName, RunFile::kOutput};
  if (grid_mode && grid.empty()) {
    return FileRefusal{"Grid file name is required field.", RunFile::kGrid};
  }
  if (grid_mode && SameFile(output, grid)) return FileRefusal{kSameName, RunFile::kOutput};
  return std::nullopt;
}

}  // namespace torvane
