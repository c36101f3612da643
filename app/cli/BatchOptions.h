#pragma once
// The command line of torvane-cli.

#include <cstdint>
#include <optional>
#include <string>

#include "points/PointLine.h"

namespace torvane {

struct BatchOptions {
  std::string input;
  std::string output;
  std::string radius;               // as typed: the locale's decimal separator
  std::optional<std::string> band;  // likewise; the window's "0" when absent
  PointColumns columns;
  bool quiet = false;
  // Grid mode.
  std::optional<std::string> grid;
  std::optional<std::string> ring_points;  // as typed; the window's "360" when absent
  bool interpolated_cba = false;
  std::optional<std::uint64_t> grid_memory_limit_mib;  // caps the memory a grid may take
};

// Reads the command line into `options`. Returns an exit code when the
// program should stop here (0 after --help or --version, 2 for a usage
// error, reported on stderr), or nothing when the run should go ahead.
std::optional<int> ParseBatchOptions(int argc, char** argv, BatchOptions& options);

// "A,B,C,E" (any letter case) to column numbers; false unless exactly four
// letters A to Z separated by commas.
bool ParseColumnLetters(const std::string& text, PointColumns& columns);

}  // namespace torvane
