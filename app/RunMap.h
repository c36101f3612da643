#pragma once
// The map of one value of the last run: the value gridded from the run's
// points onto a lattice of its own, with the stations and a title naming
// the value, the ring (R and D, or R and N in grid mode) and the file.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "common/Reporter.h"
#include "preview/MapRenderer.h"
#include "preview/MapSurface.h"
#include "run/RunRequest.h"
#include "run/RunResult.h"

namespace torvane {

// GAP: each station's ring gap as a coloured dot (no field), gathered after
// the run when the run did not.
enum class MapVariable { kCba, kResidual, kRingCount, kGap };

// "CBA", "Residual", "N", "GAP".
std::string_view MapVariableName(MapVariable variable);

// The surface and what is drawn over it; `scene` refers to `surface`, so a
// RunMap stays where it was made.
struct RunMap {
  RunMap() = default;
  RunMap(const RunMap&) = delete;
  RunMap& operator=(const RunMap&) = delete;

  MapVariable variable = MapVariable::kResidual;
  MapSurface surface;
  MapScene scene;
  std::vector<float> station_values;  // what the scene's coloured stations show
  std::vector<std::uint8_t> station_blanked;  // the stations whose residual was blanked
};

// The gridding cell a map takes when none is asked for: the median
// spacing of the run's stations, rounded down (a fifth of the previews'
// gridding radius when the stations do not lie apart).
double DefaultMapCell(const RunRequest& request, const RunResult& result);

// Grids `variable` of a run's result at `cell` (0 for the default) by
// `gridding` (or inverse distances within the previews' gridding radius),
// and sets up the scene: the quantity with its unit, the axes' CRS,
// stations shown when `stations` is set (those blanked as open circles),
// default colours and no contours (the caller may set the scene's). False,
// after telling the user, when the run has no results or the surface could
// not be made.
bool MakeRunMap(Reporter& reporter, const RunRequest& request, RunResult& result,
                MapVariable variable, double cell, bool stations, const GriddingOptions& gridding,
                RunMap& map);

// A map of the last run's stations alone, each a dot coloured by its own
// value (one per point, in point order; 1e37 or more leaves a station
// out), with the colour bar of those values: for values that are no field,
// such as a station's quality. `name` titles the map and the colour bar.
bool MakeStationMap(Reporter& reporter, const RunRequest& request, RunResult& result,
                    std::string_view name, std::span<const float> values, RunMap& map);

}  // namespace torvane
