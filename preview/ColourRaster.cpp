#include "preview/ColourRaster.h"

#include "preview/ColourScale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace torvane {

const std::array<Rgb, kScaleColours + 1> kColourScale{{
    {255, 255, 255},                                                                   // blank
    {0, 0, 255},     {0, 85, 255},    {0, 127, 255},   {0, 170, 255},   {0, 212, 255},    // 1-5
    {0, 233, 255},   {0, 255, 255},   {0, 255, 200},   {0, 255, 145},   {0, 255, 63},     // 6-10
    {0, 255, 49},    {0, 255, 36},    {0, 255, 0},     {72, 255, 0},    {99, 255, 0},     // 11-15
    {109, 255, 0},   {145, 255, 0},   {182, 255, 0},   {218, 255, 0},   {255, 255, 0},    // 16-20
    {255, 233, 0},   {255, 212, 0},   {255, 191, 0},   {255, 180, 0},   {255, 170, 0},    // 21-25
    {255, 148, 0},   {255, 137, 0},   {255, 127, 0},   {255, 106, 0},   {255, 85, 0},     // 26-30
    {255, 53, 0},    {255, 21, 0},    {255, 0, 0},     {255, 0, 18},    {255, 0, 36},     // 31-35
    {255, 0, 109},   {255, 0, 182},   {255, 11, 218},  {255, 121, 255}, {255, 159, 255},  // 36-40
}};

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kLightElevation = 45 * kRadiansPerDegree;
constexpr double kLightAzimuth = 45 * kRadiansPerDegree;
constexpr double kStepInStdDevs = 0.066;
constexpr float kNoShade = -1;  // a blank among the four values around a pixel

struct Light {
  double x = std::cos(kLightElevation) * std::sin(kLightAzimuth);
  double y = std::cos(kLightElevation) * std::cos(kLightAzimuth);
  double z = std::sin(kLightElevation);
  double length = std::sqrt(x * x + y * y + z * z);
};

std::uint8_t Darken(std::uint8_t component, int by) {
  return static_cast<std::uint8_t>(std::clamp(component - by, 0, 255));
}

}  // namespace

int ScaleIndex(float value, double mean, double step) {
  if (IsPreviewBlank(value)) return 0;
  const double index = std::ceil((value - mean) / step + kScaleCentre);
  if (!(index >= 1)) return 1;  // far below the scale, or no step to measure by
  return static_cast<int>(std::min(index, static_cast<double>(kScaleColours)));
}

float HillShade(double dx, double dy) {
  static const Light light;
  const double normal_length = std::sqrt(dx * dx + dy * dy + 1);
  const double cosine = (dx * light.x + dy * light.y + light.z) / (normal_length * light.length);
  return static_cast<float>(255 * std::clamp(std::isnan(cosine) ? 0.0 : cosine, 0.0, 1.0));
}

namespace {

// Colours `raster` by hue_of(value), an entry of `colours`, darkened by
// darkening_of(shade) (negative: lightened).
template <typename HueOf, typename DarkeningOf>
void ShadeRaster(const PreviewRaster& raster, const HueOf& hue_of, const DarkeningOf& darkening_of,
                 const std::array<Rgb, kScaleColours + 1>& colours, PreviewPixels& pixels) {
  const int height = raster.height;
  const auto h = static_cast<std::size_t>(height);
  pixels.width = raster.width;
  pixels.height = height;
  pixels.colours.assign(static_cast<std::size_t>(raster.width) * h, kWhite);
  const int used_x = raster.used_x;
  const int used_y = raster.used_y;
  if (used_x < 2 || used_y < 2 || used_x > raster.width || used_y > height ||
      raster.values.size() != pixels.colours.size()) {
    return;
  }

  std::vector<int> hue(static_cast<std::size_t>(used_y));
  std::vector<float> shade(static_cast<std::size_t>(used_y));
  for (int x = 0; x + 1 < used_x; ++x) {
    for (int y = 0; y < used_y; ++y) {
      hue[static_cast<std::size_t>(y)] = hue_of(raster.At(x, y));
    }
    for (int y = 0; y + 1 < used_y; ++y) {
      const float here = raster.At(x, y);
      const float north = raster.At(x, y + 1);
      const float east = raster.At(x + 1, y);
      const float north_east = raster.At(x + 1, y + 1);
      const bool blank = IsPreviewBlank(here) || IsPreviewBlank(north) || IsPreviewBlank(east) ||
                         IsPreviewBlank(north_east);
      shade[static_cast<std::size_t>(y)] =
          blank ? kNoShade
                : HillShade(static_cast<double>(here) - east, static_cast<double>(east) - north_east);
    }
    shade[static_cast<std::size_t>(used_y - 1)] = shade[static_cast<std::size_t>(used_y - 2)];

    Rgb* column = pixels.colours.data() + static_cast<std::size_t>(x) * h;
    for (std::size_t y = 0; y < static_cast<std::size_t>(used_y); ++y) {
      if (shade[y] == kNoShade) continue;  // stays white
      const int darkening = darkening_of(shade[y]);
      const Rgb hue_colour = colours[static_cast<std::size_t>(hue[y])];
      column[y] = {Darken(hue_colour.r, darkening), Darken(hue_colour.g, darkening),
                   Darken(hue_colour.b, darkening)};
    }
  }
  // The last used column has no eastern neighbour to shade by: it repeats
  // the one before.
  std::copy_n(pixels.colours.begin() + static_cast<std::ptrdiff_t>((used_x - 2) * h),
              height,
              pixels.colours.begin() + static_cast<std::ptrdiff_t>((used_x - 1) * h));
}

// The previews' shade: from 1 in full light to 128 with none.
int PreviewDarkening(float shade) { return 128 - static_cast<int>(std::floor(shade / 2)); }

}  // namespace

void ColourRaster(const PreviewRaster& raster, PreviewPixels& pixels) {
  const double step = kStepInStdDevs * raster.std_dev;
  ShadeRaster(
      raster, [&](float v) { return ScaleIndex(v, raster.mean, step); }, PreviewDarkening,
      kColourScale, pixels);
}

void ColourRaster(const PreviewRaster& raster, const ColourScale& scale, PreviewPixels& pixels) {
  const auto hue = [&](float v) { return scale.IndexOf(v); };
  if (scale.kind == ScaleKind::kStdDev && scale.palette == Palette::kSeed) {
    ShadeRaster(raster, hue, PreviewDarkening, scale.colours, pixels);  // as the previews
    return;
  }
  // Level ground keeps its colour (a white stays white); slopes facing the
  // light are lighter, the others darker.
  const float flat = HillShade(0, 0);
  ShadeRaster(
      raster, hue, [flat](float shade) { return static_cast<int>(std::lround((flat - shade) * 0.4)); },
      scale.colours, pixels);
}

}  // namespace torvane
