#pragma once
// A run's stations: read from their file (plain columns or CSV) and, where
// their coordinates are geographic, projected into the work CRS in metres.
// Every front end reads its stations through here.

#include <string>

#include "common/Reporter.h"
#include "points/ColumnNames.h"
#include "points/PointLine.h"
#include "points/PointSet.h"
#include "points/SurveyProjection.h"

namespace torvane {

struct StationSource {
  std::string path;
  PointColumns columns;      // X, Y, point and CBA by position (0 = A)
  ColumnNames column_names;  // any given picks its column by the header row's name
  char csv_decimal_separator = '.';  // a CSV file's; a plain file follows the reporter's
  SurveyCrs crs;                     // empty: the coordinates are taken as they are
  bool keep_file_coordinates = false;  // the file's X and Y kept bit for bit in `file_xy`
};

// False, with the user told, when the file could not be read or a CRS not
// used; `points` is then empty.
bool ReadStations(Reporter& reporter, const StationSource& source, PointSet& points);

}  // namespace torvane
