#include "points/ReadStations.h"

#include "points/PointFileReader.h"

namespace torvane {

bool ReadStations(Reporter& reporter, const StationSource& source, PointSet& points) {
  return ReadPointFile(reporter, source.path, source.columns, points, source.column_names,
                       source.csv_decimal_separator, source.keep_file_coordinates) &&
         ProjectSurvey(reporter, source.crs, points);
}

}  // namespace torvane
