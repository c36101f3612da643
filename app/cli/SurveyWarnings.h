#pragma once
// Warnings that catch a radius in the wrong units before a table of zeros
// does: R beyond the survey's diagonal (no station can have another that
// far), and coordinates that look like degrees without --crs (R and D in
// metres would then span continents).

#include <vector>

#include "points/PointSet.h"

namespace torvane {

// `radii`: the rings of point mode (empty in grid mode: its rings sample
// the grid, which may reach beyond the survey). `projected`: --crs was
// given, so the coordinates are metres whatever their numbers.
void WarnAboutUnits(const PointSet& points, const std::vector<double>& radii, bool projected);

}  // namespace torvane
