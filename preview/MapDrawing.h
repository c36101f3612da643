#pragma once
// The one drawing of a map on a cairo context, whatever the context writes
// (a picture in memory, PNG, SVG or PDF). Only preview/ sees cairo.

#include <cairo.h>

#include <optional>

#include "preview/MapRenderer.h"

namespace torvane {

// Draws the scene over `view` into a width x height area from (0, 0), white
// underneath, and answers how it was laid out.
MapLayout DrawMap(cairo_t* cr, const MapScene& scene, const MapView& view, int width, int height,
                  const std::optional<ColourScale>& fixed);

}  // namespace torvane
