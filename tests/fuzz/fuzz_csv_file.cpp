// A station file named *.csv through the run's own entry (the reader picks
// CSV by the name), with columns by position and by name, under both
// decimal separators: the points are read or the user is told why, and what
// is kept keeps the reader's promises.

#include <unistd.h>

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/PointChecks.h"

namespace torvane::fuzzing {

std::string FuzzCsvFile(Bytes data) {
  static InputFile file;
  static ScratchFolder folder;
  // The input's memory file under a name that ends in .csv.
  static const std::string path = [] {
    const std::string link = folder.File("stations.csv");
    if (symlink(file.path().c_str(), link.c_str()) != 0) return file.path();
    return link;
  }();
  file.Hold(data);
  const ColumnNames by_position;
  const ColumnNames by_name = {"longitude", "latitude", "station", "cba"};
  std::string problem = CheckPointRead(path, '.', PointColumns{0, 1, 2, 4}, by_position);
  if (problem.empty()) problem = CheckPointRead(path, ',', PointColumns{2, 1, 0, 3}, by_name);
  if (problem.empty()) {
    problem = CheckPointRead(path, '.', PointColumns{0, 1, 2, 3}, {"x", "B", "", "CBA"});
  }
  return problem;
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzCsvFile)
