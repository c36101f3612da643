#pragma once
// The colouring of a preview raster: a fixed 40-colour scale from blue (low)
// to pink (high) in steps of 0.066 standard deviations around the raster's
// mean, darkened by a hill shade lit from the north-east at 45 degrees
// elevation. Blank values, and every pixel beyond the raster's used extent,
// are white.

#include <array>

#include "common/RgbCanvas.h"
#include "preview/PreviewData.h"

namespace torvane {

// Entry 0 is the colour of a blank; entries 1 to 40 run from low to high.
inline constexpr int kScaleColours = 40;
inline constexpr int kScaleCentre = 21;  // takes values just at or below the mean
extern const std::array<Rgb, kScaleColours + 1> kColourScale;

// The scale entry of a raster value: 0 for a blank, otherwise
// ceiling((value - mean) / step + 21) held to 1 ... 40.
int ScaleIndex(float value, double mean, double step);

// The light falling on the surface whose normal is (dx, dy, 1), as
// 255 * the cosine of its angle with the light, held to 0 ... 255.
float HillShade(double dx, double dy);

// Makes `pixels` the colours of `raster` (same size, same layout). A raster
// used over fewer than two columns or rows cannot be shaded and stays white.
void ColourRaster(const PreviewRaster& raster, PreviewPixels& pixels);

// The same colouring and shade by a map's colour scale instead.
struct ColourScale;
void ColourRaster(const PreviewRaster& raster, const ColourScale& scale, PreviewPixels& pixels);

}  // namespace torvane
