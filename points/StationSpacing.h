#pragma once
// How closely a survey's stations lie: the median distance from each
// station to its nearest neighbour, the spacing a geophysicist compares the
// ring's radius and band with.

#include "points/PointSet.h"

namespace torvane {

// The median, over all stations, of the distance to the nearest other
// station (0 where two share a place); NaN for fewer than two stations.
double MedianNearestSpacing(const PointSet& points);

}  // namespace torvane
