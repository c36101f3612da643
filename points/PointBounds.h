#pragma once
// The bounding box of the survey's coordinates and the shift that keeps every
// stored coordinate at or above 0, shared by the readers of every point file
// format and by the projection of geographic stations.

#include <algorithm>

#include "points/PointSet.h"

namespace torvane {

struct Box {
  double min_x = 1e38, max_x = -1e38, min_y = 1e38, max_y = -1e38;
  void Add(double x, double y) {
    if (x < min_x) min_x = x;
    if (x > max_x) max_x = x;
    if (y < min_y) min_y = y;
    if (y > max_y) max_y = y;
  }
  void Add(const Box& other) {
    min_x = std::min(min_x, other.min_x);
    max_x = std::max(max_x, other.max_x);
    min_y = std::min(min_y, other.min_y);
    max_y = std::max(max_y, other.max_y);
  }
};

// Sets the set's box and shifts from the box of its file coordinates. False
// when the shifted coordinates would leave the double range (coordinates
// near both ends of it), where no distance could be measured.
bool SetBounds(const Box& box, PointSet& points);

// Adds the set's shifts to the coordinates of every point, which hold file
// (or projected) coordinates until then.
void ShiftPoints(PointSet& points);

// Keeps the coordinates the points hold (file coordinates, before
// ShiftPoints) as the set's file coordinates, unless it keeps some already:
// for callers that hand the coordinates on exactly as the file gives them.
void KeepFileCoordinates(PointSet& points);

}  // namespace torvane
