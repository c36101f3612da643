#include "app/GravityTable.h"

#include "points/CoordinateSystem.h"
#include "points/SurveyReduction.h"
#include "residual/ReducedTable.h"

namespace torvane {

bool WriteGravityTable(Reporter& reporter, const GravityTableRequest& request,
                       const std::function<void(const SkippedRows&)>& after_reading,
                       std::size_t& stations) {
  PointSet points;
  ReducedSurvey reduced;
  const bool read = ReadPointFile(reporter, request.input, PointColumns{}, points, request.columns,
                                  0, request.input_format, true);
  points.skipped.cba_is_gravity = true;
  if (after_reading) after_reading(points.skipped);
  if (!read || !ReduceSurvey(reporter, request.reduction, request.crs, request.input,
                             request.columns[3], points, &reduced)) {
    return false;
  }
  // Stations in degrees keep 6 decimals in the table.
  points.file_degrees = DescribeCrs(request.crs) == CrsKind::kGeographic;
  int error = 0;
  if (!WriteReducedTable(request.output, points, reduced, error)) {
    reporter.ShowFileError("Error by opening output data", request.output, error, "Error");
    return false;
  }
  stations = points.points.size();
  return true;
}

}  // namespace torvane
