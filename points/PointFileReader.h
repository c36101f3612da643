#pragma once
// Reads the point file into the PointSet: a counting pass that finds the
// number of points and their bounding box, then a storing pass into an array
// of exactly that size, with the coordinates shifted so that none is negative.
// A file whose name ends in ".csv" is read as CSV (points/CsvPointReader.h).
// The name "-" reads standard input. Rows that looked like data but gave no
// point are counted in the set's `skipped`, also when the read fails.

#include <string>

#include "common/Reporter.h"
#include "common/StopQuestion.h"
#include "points/ColumnNames.h"
#include "points/PointLine.h"
#include "points/PointSet.h"

namespace torvane {

// On failure the user has been told ("Cannot open input data file", "Input
// file contains no valid xyz data", "Input file contains coordinates out of
// range" or "Error by allocating memory for data") and `points` is empty.
// Any of `names` given picks its column by the file's header row (a plain
// file's first line that is neither blank, a comment nor a point) or by
// letter; the others keep `columns`. Numbers written with '.' are read
// whatever the platform's decimal separator; ',' decimals where it is ','.
// `keep_file_coordinates` keeps the coordinates as the file gives them, bit
// for bit, in `file_xy`.
// `decimal_separator` ('.' or ',') replaces the reporter's, 0 keeps it.
// `keep_going` is asked after every block of the file (a few megabytes): when
// it gives up, the answer is false with nothing said and `points` empty.
enum class PointFileFormat { kByName, kCsv, kPlain };
bool ReadPointFile(Reporter& platform, const std::string& input_path,
                   const PointColumns& columns, PointSet& points, const ColumnNames& names = {},
                   char decimal_separator = 0, PointFileFormat format = PointFileFormat::kByName,
                   bool keep_file_coordinates = false, const KeepGoing& keep_going = {});

}  // namespace torvane
