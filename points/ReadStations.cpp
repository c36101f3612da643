#include "points/ReadStations.h"

#include "points/PointFileReader.h"
#include "points/SurveyReduction.h"

namespace torvane {

std::string CbaColumnName(const StationSource& source) {
  if (!source.column_names[3].empty()) return source.column_names[3];
  const int column = source.columns.cba;
  return column >= 0 && column <= 25 ? std::string(1, static_cast<char>('A' + column)) : "?";
}

bool ReadStations(Reporter& reporter, const StationSource& source, PointSet& points,
                  std::string& work_crs, const KeepGoing& keep_going) {
  work_crs.clear();
  const bool read =
      ReadPointFile(reporter, source.path, source.columns, points, source.column_names,
                    source.decimal_separator, source.input_format,
                    source.keep_file_coordinates, keep_going);
  points.skipped.cba_is_gravity = source.gravity_reduction.has_value();
  if (!read) return false;
  // Absolute gravity becomes the simple Bouguer anomaly once the stations are
  // read and before they are projected: the latitudes come from the file's
  // coordinates.
  if (source.gravity_reduction) {
    if (source.crs.crs.empty()) {
      points.ClearKeepingSkipped();
      reporter.ShowInfo(
          "Absolute gravity needs each station's latitude: give the coordinate reference "
          "system of X and Y");
      return false;
    }
    if (!ReduceSurvey(reporter, *source.gravity_reduction, source.crs.crs, source.path,
                      CbaColumnName(source), points, nullptr)) {
      return false;
    }
  }
  return ProjectSurvey(reporter, source.crs, points, work_crs, keep_going);
}

}  // namespace torvane
