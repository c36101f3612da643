#pragma once
// The colour scales of full-size maps: 40 colours, colour k (1 ... 40)
// taking the values up to its upper bound, laid over the map's values by
//   equalised  each colour holds about the same share of the values (their
//              quantiles at k / 40), the default;
//   linear     equal steps from the values' 2nd to their 98th percentile;
//   sd         the previews' rule: 0.066 standard deviations a colour,
//              centred on the mean;
//   range      equal steps over a range given.
// Palettes: the previews' 40 colours, blue-white-red centred on 0 (its two
// middle colours white, 0 their common bound), viridis and cividis. GAP
// maps always span 0 to 360 degrees and N maps start at 0. The previews
// themselves keep their own colouring (ColourRaster).

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/RgbCanvas.h"
#include "preview/ColourRaster.h"

namespace torvane {

enum class ScaleKind { kEqualised, kLinear, kStdDev, kRange };
enum class Palette { kSeed, kDiverging, kViridis, kCividis };
// What a map shows, for its default palette, fixed ranges and units.
enum class MapQuantity { kValue, kCba, kResidual, kRingCount, kGap };

// "equalised", "linear", "sd", "range"; "seed", "diverging", "viridis",
// "cividis": the names the command line and the window list.
std::optional<ScaleKind> ScaleKindOfName(const std::string& name);
std::optional<Palette> PaletteOfName(const std::string& name);
const char* ScaleKindName(ScaleKind kind);
const char* PaletteName(Palette palette);
inline constexpr std::array<ScaleKind, 4> kScaleKinds{ScaleKind::kEqualised, ScaleKind::kLinear,
                                                      ScaleKind::kStdDev, ScaleKind::kRange};
inline constexpr std::array<Palette, 4> kPalettes{Palette::kSeed, Palette::kDiverging,
                                                  Palette::kViridis, Palette::kCividis};

// What the user asked for; what is left out takes the quantity's default
// (equalised; diverging for residuals, the previews' colours otherwise).
struct ColourChoice {
  std::optional<ScaleKind> scale;
  std::optional<Palette> palette;
  double range_min = 0, range_max = 0;  // for ScaleKind::kRange, min < max
};

// A scale laid over a map's values.
struct ColourScale {
  ScaleKind kind = ScaleKind::kEqualised;
  Palette palette = Palette::kSeed;
  std::array<double, kScaleColours - 1> bounds{};  // colour k up to bounds[k - 1]
  std::array<Rgb, kScaleColours + 1> colours{};    // 0 a blank, 1 ... 40 low to high
  double low = 0, high = 1;  // the values at the bottom and top of the colour bar
  double mean = 0, std_dev = 1;  // of the values the scale was laid over
  std::vector<double> marks;  // values the bar marks beside its ticks (GAP: 90 and 180)

  // 0 for a blank, otherwise the colour 1 ... 40 of `value`.
  int IndexOf(float value) const;
  // Where `value` lies along the bar, in colours from its bottom (0 ... 40),
  // linear within each colour.
  double PositionOf(double value) const;
  // The value at `position` along the bar (0 ... 40): PositionOf's inverse.
  double ValueAt(double position) const;
};

// The 40 colours of a palette, entry 0 (a blank) white.
std::array<Rgb, kScaleColours + 1> PaletteColours(Palette palette);

// Lays the scale `choice` asks for over `values` (blanks are left out) for
// a map of `quantity`.
ColourScale LayColourScale(const ColourChoice& choice, MapQuantity quantity,
                           std::span<const float> values);

// Widens a range without width (low >= high) around its value, so that it
// can be drawn.
void WidenRange(double& low, double& high);

// The quantity and unit a map of `quantity` labels its colour bar with:
// "Residual [mGal]", "CBA [mGal]", "GAP [deg]", "N"; empty for kValue.
const char* QuantityLabel(MapQuantity quantity);

}  // namespace torvane
