#pragma once
// How far apart the stations lie, and which nodes of a lattice are near
// enough to one to carry a value: for choosing a gridding cell and for
// blanking a gridded surface where there is no data.

#include <span>

#include "preview/MinimumCurvature.h"

namespace torvane {

// The median over the stations of the distance to the nearest other
// station (stations at the same place count as one); 0 when fewer than
// two stations lie apart.
double MedianStationSpacing(std::span<const double> x, std::span<const double> y);

// Sets to `blank` every node of `nodes` (on `lattice`, node (i, j) at
// i * ny + j) farther than `distance` from every station.
void BlankBeyond(std::span<const double> x, std::span<const double> y, const SquareLattice& lattice,
                 double distance, std::span<float> nodes, float blank);

}  // namespace torvane
