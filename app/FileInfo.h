#pragma once
// What `torvane-cli info` and the window's File information tell about a
// file, for a first look before a run: for a grid (told by content) its
// format, size, spacing, extent, blanks, CRS and values; for a point file
// its stations, skipped rows, extent, CRS, CBA statistics and median spacing.

#include <string>
#include <vector>

#include "app/InfoReport.h"
#include "common/Reporter.h"
#include "points/ReadStations.h"

namespace torvane {

// Fills `report` about `source.path`: a grid when a grid reader takes it,
// else a point file read as `source` says (its columns, CSV options and
// CRS; the file's own coordinates kept). False when the file could not be
// described: a grid reader that knew the format left its reasons in
// `about_a_grid`, otherwise the point reader has told `reporter`.
bool DescribeFile(Reporter& reporter, const StationSource& source, InfoReport& report,
                  std::vector<std::string>& about_a_grid);

}  // namespace torvane
