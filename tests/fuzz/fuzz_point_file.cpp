// The point file reader on any bytes, under both decimal separators and two
// column choices, and the CSV reader on the same bytes with columns by
// position and by name: each reads the points or says why not, and what it
// stores keeps the reader's promises.

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/PointChecks.h"

namespace torvane::fuzzing {

std::string FuzzPointFile(Bytes data) {
  static InputFile file;
  const std::string& path = file.Hold(data);
  std::string problem = CheckPointRead(path, '.', PointColumns{0, 1, 2, 4});
  if (problem.empty()) problem = CheckPointRead(path, ',', PointColumns{3, 0, 1, 5});
  const ColumnNames by_position;
  const ColumnNames by_name = {"x", "B", "Station", "cba"};
  if (problem.empty()) {
    problem = CheckPointRead(path, '.', PointColumns{0, 1, 2, 3}, by_position, PointReader::kCsv);
  }
  if (problem.empty()) {
    problem = CheckPointRead(path, ',', PointColumns{0, 1, 2, 3}, by_name, PointReader::kCsv);
  }
  return problem;
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzPointFile)
