#pragma once
// Grids for the map: a grid file's nodes as a map surface, and the last
// run's residual gridded onto nodes of a chosen cell, as `torvane-cli map`,
// `--residual-grid` and the window's exports make them.

#include <string>

#include "common/Reporter.h"
#include "grid/GridValues.h"
#include "preview/MapRenderer.h"
#include "preview/MapSurface.h"
#include "run/RunRequest.h"
#include "run/RunResult.h"

namespace torvane {

// False when the file was not read (the reader has told the user why).
// `crs`, when given, receives the grid's CRS (empty: the file names none).
bool ReadGridSurface(Reporter& platform, const std::string& path, MapSurface& surface,
                     std::string* crs = nullptr);

// Names the map of grid file `path` as `torvane-cli map` names it: titled
// `title` (empty: the file's name), its axes naming the grid's CRS `crs`,
// in degrees where that CRS is geographic or `geographic` says the
// coordinates are longitude and latitude.
void NameGridMap(MapScene& scene, const std::string& path, const std::string& crs,
                 const std::string& title, bool geographic);

// The run's residual gridded by `gridding` (or inverse distances at the
// previews' gridding radius and reach) onto nodes `cell` apart over the
// points' box (0: the maps' default cell), with the run's work CRS, named
// "residual" in "mGal". False when that failed (the user has been told).
bool GridRunResidual(Reporter& platform, const RunRequest& request, const RunResult& result,
                     double cell, GridValues& grid,
                     const GriddingOptions& gridding = GriddingOptions());

}  // namespace torvane
