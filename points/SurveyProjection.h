#pragma once
// Stations given in a coordinate reference system that PROJ knows: where the
// coordinates are geographic (degrees), they are projected into a work CRS in
// metres for the computation, so that the ring's radius and band stay metres.
// The file's own coordinates are kept for the table.

#include <string>

#include "common/Reporter.h"
#include "common/StopQuestion.h"
#include "points/CoordinateSystem.h"
#include "points/PointSet.h"

namespace torvane {

// The WGS 84 UTM zone of a place, north or south: "EPSG:32735" for 28 E, 25 S.
std::string UtmZoneCrs(double longitude, double latitude);

struct SurveyCrs {
  std::string crs;       // of the file's X and Y; empty: taken as they are
  std::string work_crs;  // of the computation; empty: the UTM zone of the survey's centre
                         // where `crs` is geographic, else `crs` itself
};

// The CRS the rings are computed in: `work_crs` when given, else `crs` unless
// it is geographic, then the WGS 84 UTM zone of the survey's centre, given in
// the file's coordinates; empty when the points have no CRS.
std::string WorkCrsOf(const SurveyCrs& crs, double centre_x, double centre_y);

// Projects the points, when `crs` asks for it, into the work CRS: their
// stored coordinates, box and shifts then follow the work CRS and the file's
// coordinates are kept in the set. False, with the user told, when a CRS is
// not usable or a point cannot be projected; the points are then cleared.
// `work_crs` is set to the CRS the points' coordinates are in afterwards:
// the work CRS (WorkCrsOf at the survey's centre; the one named when there
// are no points), or empty when `crs` names none. `keep_going` is asked
// between stretches of points; when it gives up, the answer is false with
// nothing said and the points cleared.
bool ProjectSurvey(Reporter& platform, const SurveyCrs& crs, PointSet& points,
                   std::string& work_crs, const KeepGoing& keep_going = {});

}  // namespace torvane
