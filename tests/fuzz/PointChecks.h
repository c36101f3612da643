#pragma once
// What the point file readers must do with any input, shared by the entry
// points that feed them.

#include <string>

#include "points/PointFileReader.h"

namespace torvane::fuzzing {

// How the file is read: as a run reads it (CSV when its name ends in .csv),
// or by the CSV reader whatever its name.
enum class PointReader { kByName, kCsv };

// Reads `path` under the decimal separator `separator` and answers what
// broke a promise of the readers, or an empty text: a failed read says why
// once and keeps no points; a read that succeeds says nothing, keeps its
// points inside their bounding box, shifted to non-negative coordinates, and
// one name per point when names are kept.
std::string CheckPointRead(const std::string& path, char separator, const PointColumns& columns,
                           const ColumnNames& names = {},
                           PointReader reader = PointReader::kByName);

}  // namespace torvane::fuzzing
