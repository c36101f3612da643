#pragma once
// From the node grid to the picture: separable linear resampling with one
// pixel size along both axes (the map keeps its proportions), and the mean
// and standard deviation of the resampled values for the colouring.

#include <span>

#include "common/Reporter.h"
#include "preview/PreviewData.h"

namespace torvane {

// Resamples a line of samples spaced `source_spacing` apart to one of
// `destination.size()` samples spaced `destination_spacing` apart, both
// starting at position 0. The first and last output samples copy the first
// and last source samples; one that falls on a source sample copies it;
// the others interpolate linearly between the two source samples around
// them, and are blank when either of those is. Output samples beyond the
// last source position take the last source sample. Writes nothing outside
// `destination`; with no source sample at all it is filled with blanks.
void ResampleLine(std::span<const float> source, double source_spacing,
                  std::span<float> destination, double destination_spacing);

// Replaces `raster` by a `picture` sized raster of `grid`, whose nodes lie
// `step` apart and which is taken to span nx * step by ny * step. The pixel
// size is the larger of the two that would fit each axis into the picture,
// so the grid fills the picture along one axis. Also sets the raster's mean
// and standard deviation (1.0 when the values hardly vary or are too few).
// When the scratch memory cannot be had, shows "Not enough memory for
// temporary buffer" and fails, leaving a blank raster.
bool ResampleToRaster(Reporter& platform, const PreviewGrid& grid, double step,
                      ImageSize picture, PreviewRaster& raster);

}  // namespace torvane
