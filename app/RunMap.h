#pragma once
// The map of one value of the last run: the value gridded from the run's
// points onto a lattice of its own, with the stations and a title naming
// the value, the ring (R and D, or R and N in grid mode) and the file.

#include <string_view>

#include "app/Hvw.h"
#include "preview/MapRenderer.h"
#include "preview/MapSurface.h"

namespace torvane {

enum class MapVariable { kCba, kResidual };

// "CBA", "Residual".
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
};

// The gridding cell a map takes when none is asked for: a fifth of the
// previews' gridding radius.
double DefaultMapCell(const TfrmMain& form);

// Grids `variable` of the form's last run at `cell` (0 for the default)
// with the previews' gridding radius, and sets up the scene, stations shown
// when `stations` is set. False, after telling the user, when the form has
// no results or the surface could not be made.
bool MakeRunMap(Platform& platform, const TfrmMain& form, MapVariable variable, double cell,
                bool stations, RunMap& map);

}  // namespace torvane
