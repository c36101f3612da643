#pragma once
// Takes points out of a survey once it is read (stations a later check
// refuses), keeping the rest in file order with their names and file
// coordinates, and the box and shifts made anew for what is left.

#include <vector>

#include "points/PointSet.h"

namespace torvane {

// Keeps point i where keep[i] is true. Answers how many were dropped.
std::size_t DropPoints(PointSet& points, const std::vector<bool>& keep);

}  // namespace torvane
