#pragma once
// Contour lines of a map's surface by marching squares over its nodes: in
// every cell whose four corners are valued, the level crosses the edges
// whose ends lie on either side of it (a corner at the level counts as
// above), at the place linear between the ends; a cell crossed on all four
// edges is split as the mean of its corners says.

#include <vector>

#include "preview/MapSurface.h"

namespace torvane {

struct ContourSegment {
  double x0, y0, x1, y1;  // in the surface's coordinates
};

// The segments of the contour at `level`, cell by cell.
std::vector<ContourSegment> ContourSegments(const MapSurface& surface, double level);

// A round interval (1, 2, 2.5 or 5 times a power of ten) giving about
// `levels` contours over the surface's values; 0 when it has none.
double ContourIntervalFor(const MapSurface& surface, int levels = 12);

// The levels, multiples of `interval`, within the surface's values (none
// for an interval that is not positive, or more than `most`).
std::vector<double> ContourLevels(const MapSurface& surface, double interval, int most = 500);

}  // namespace torvane
