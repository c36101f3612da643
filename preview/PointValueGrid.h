#pragma once
// A value of the survey points gridded as a grid file holds it: by
// curvature splines in tension, or by the previews' inverse-distance
// gridding (PreviewNodes), onto nodes one cell apart over the points'
// bounding box, in file coordinates.

#include "common/Reporter.h"
#include "grid/GridValues.h"
#include "points/PointSet.h"
#include "preview/StationGridder.h"

namespace torvane {

struct PointGridRequest {
  double SurveyPoint::*value = &SurveyPoint::residual;
  double cell = 0;    // node spacing along both axes, > 0
  double radius = 0;  // points farther than this from a node are left out
  double reach = 0;   // how far around a node the cells are searched
  GriddingOptions gridding;  // radius and reach serve inverse distances only
};

// Fills `out`: node (i, j) at (min_x + i * cell, min_y + j * cell) of the
// file's coordinates, from the south-west corner of the points' bounding
// box until the nodes cover it; blank where no point lies within the radius
// (inverse distances) or the mask distance (splines).
// False when the nodes cannot be had (the user has been told).
bool GridPointValues(Reporter& platform, const PointSet& points, const PointGridRequest& request,
                     GridValues& out);

}  // namespace torvane
