#pragma once
// The choice of gridder for maps and grids made from the stations:
// continuous curvature splines in tension (the default) or the previews'
// inverse-distance weighting within the gridding radius, and the cell and
// blanking distance each takes when none is given.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "preview/MinimumCurvature.h"

namespace torvane {

enum class Gridder { kMinimumCurvature, kInverseDistance };

struct GriddingOptions {
  Gridder gridder = Gridder::kMinimumCurvature;
  double tension = kDefaultTension;  // 0 ... 1
  double mask_distance = 0;          // 0: three times the median station spacing
};

// "min-curvature" or "idw"; nothing for any other name.
std::optional<Gridder> GridderOfName(const std::string& name);

// The cell a map or grid of these stations takes when none is asked for:
// their median spacing, rounded to 1, 2, 2.5 or 5 times a power of ten; 0
// when they do not lie apart.
double DefaultStationCell(std::span<const double> x, std::span<const double> y);

// Grids `values` of the stations at (x, y) onto `lattice` by curvature
// splines in tension, blank (`blank`) beyond the mask distance of every
// station. False, after telling the user why, when the nodes do not fit
// into the memory available or there is nothing to grid.
bool GridStationsByCurvature(Reporter& platform, std::span<const double> x,
                             std::span<const double> y, std::span<const double> values,
                             const SquareLattice& lattice, const GriddingOptions& options,
                             float blank, std::vector<float>& nodes);

}  // namespace torvane
