#pragma once
// Reads a CSV point file into the PointSet. Its first line that is not blank
// is the header row of names (unless every field of it is a number), and
// gives the separator, ',' or ';'. Numbers are written with '.' whatever the
// locale, and ',' too in a file separated by ';' where the locale or the user
// says ','. A row gives a point when it has as many fields as the header
// (or the first row) and its X, Y and CBA fields are finite numbers; any
// other row that is not blank is counted as skipped. The point field may
// hold a number or text (a station name), and when any row's is text every
// point keeps its name as written.

#include <string>

#include "common/Reporter.h"
#include "common/StopQuestion.h"
#include "points/ColumnNames.h"
#include "points/PointSet.h"

namespace torvane {

// Whether a point file is read as CSV: its name ends in ".csv", in any case.
bool IsCsvFileName(const std::string& path);

// Tells the user, and leaves `points` empty, on failure, as ReadPointFile.
// `decimal_separator` is the locale's or the user's: ',' reads ','
// decimals besides '.' in files separated by ';'.
// `keep_file_coordinates` keeps them as file_xy (see KeepFileCoordinates);
// `keep_going` is asked after every block, as ReadPointFile does.
bool ReadCsvPointFile(Reporter& platform, const std::string& path, PointColumns columns,
                      const ColumnNames& names, char decimal_separator, PointSet& points,
                      bool keep_file_coordinates = false, const KeepGoing& keep_going = {});

}  // namespace torvane
