#include "preview/ColourScale.h"

#include <algorithm>
#include <cmath>

#include "preview/PreviewData.h"
#include "preview/RasterStatistics.h"

namespace torvane {
namespace {

constexpr double kStepInStdDevs = 0.066;  // the previews' width of one colour
constexpr int kHalf = kScaleColours / 2;

struct Anchor {
  double at;
  Rgb colour;
};

Rgb Blend(Rgb a, Rgb b, double t) {
  const auto mix = [t](std::uint8_t p, std::uint8_t q) {
    return static_cast<std::uint8_t>(std::lround(p + (q - p) * t));
  };
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// The colour at t (0 ... 1) along anchors in increasing order of `at`.
template <std::size_t N>
Rgb Along(const std::array<Anchor, N>& anchors, double t) {
  for (std::size_t k = 1; k < N; ++k) {
    if (t <= anchors[k].at) {
      return Blend(anchors[k - 1].colour, anchors[k].colour,
                   (t - anchors[k - 1].at) / (anchors[k].at - anchors[k - 1].at));
    }
  }
  return anchors[N - 1].colour;
}

constexpr std::array<Anchor, 9> kViridis{{{0.0, {68, 1, 84}},
                                          {0.125, {71, 44, 122}},
                                          {0.25, {59, 82, 139}},
                                          {0.375, {44, 114, 142}},
                                          {0.5, {33, 145, 140}},
                                          {0.625, {40, 174, 128}},
                                          {0.75, {94, 201, 98}},
                                          {0.875, {173, 220, 48}},
                                          {1.0, {253, 231, 37}}}};
constexpr std::array<Anchor, 9> kCividis{{{0.0, {0, 34, 78}},
                                          {0.125, {18, 53, 112}},
                                          {0.25, {59, 73, 108}},
                                          {0.375, {87, 93, 109}},
                                          {0.5, {112, 113, 115}},
                                          {0.625, {138, 135, 121}},
                                          {0.75, {166, 157, 117}},
                                          {0.875, {196, 181, 108}},
                                          {1.0, {254, 232, 56}}}};
// From white at the centre outwards (0) to the darkest end (1).
constexpr std::array<Anchor, 3> kBlues{{{0.0, {255, 255, 255}}, {0.5, {67, 147, 195}}, {1.0, {5, 48, 97}}}};
constexpr std::array<Anchor, 3> kReds{{{0.0, {255, 255, 255}}, {0.5, {214, 96, 77}}, {1.0, {103, 0, 31}}}};

// The p-quantile (0 ... 1) of sorted values, linear between ranks.
double Quantile(const std::vector<float>& sorted, double p) {
  const double rank = p * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(rank));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

// Bounds 1 ... 39 in equal steps from low to high.
void Linear(ColourScale& scale, double low, double high) {
  scale.low = low;
  scale.high = high;
  for (int k = 1; k < kScaleColours; ++k) {
    scale.bounds[static_cast<std::size_t>(k - 1)] = low + (high - low) * k / kScaleColours;
  }
}

// Bounds k0 ... k0 + count - 1 at the values' quantiles in equal shares.
void Equalised(ColourScale& scale, const std::vector<float>& sorted, int k0, int count) {
  for (int k = 0; k < count; ++k) {
    scale.bounds[static_cast<std::size_t>(k0 - 1 + k)] =
        Quantile(sorted, static_cast<double>(k + 1) / (count + 1));
  }
}

}  // namespace

void WidenRange(double& low, double& high) {
  if (high > low) return;
  const double half = std::max(0.5, std::abs(low) * 1e-6);
  low -= half;
  high += half;
}

std::optional<ScaleKind> ScaleKindOfName(const std::string& name) {
  for (const ScaleKind kind : kScaleKinds) {
    if (name == ScaleKindName(kind)) return kind;
  }
  return std::nullopt;
}

std::optional<Palette> PaletteOfName(const std::string& name) {
  for (const Palette palette : kPalettes) {
    if (name == PaletteName(palette)) return palette;
  }
  return std::nullopt;
}

const char* ScaleKindName(ScaleKind kind) {
  switch (kind) {
    case ScaleKind::kEqualised:
      return "equalised";
    case ScaleKind::kLinear:
      return "linear";
    case ScaleKind::kStdDev:
      return "sd";
    case ScaleKind::kRange:
      return "range";
  }
  return "";
}

const char* PaletteName(Palette palette) {
  switch (palette) {
    case Palette::kSeed:
      return "seed";
    case Palette::kDiverging:
      return "diverging";
    case Palette::kViridis:
      return "viridis";
    case Palette::kCividis:
      return "cividis";
  }
  return "";
}

const char* QuantityLabel(MapQuantity quantity) {
  switch (quantity) {
    case MapQuantity::kCba:
      return "CBA [mGal]";
    case MapQuantity::kResidual:
      return "Residual [mGal]";
    case MapQuantity::kRingCount:
      return "N";
    case MapQuantity::kGap:
      return "GAP [deg]";
    case MapQuantity::kValue:
      break;
  }
  return "";
}

std::array<Rgb, kScaleColours + 1> PaletteColours(Palette palette) {
  if (palette == Palette::kSeed) return kColourScale;
  std::array<Rgb, kScaleColours + 1> colours{};
  colours[0] = kWhite;
  for (int k = 1; k <= kScaleColours; ++k) {
    const double t = (k - 0.5) / kScaleColours;
    Rgb c = kWhite;
    switch (palette) {
      case Palette::kViridis:
        c = Along(kViridis, t);
        break;
      case Palette::kCividis:
        c = Along(kCividis, t);
        break;
      case Palette::kDiverging:
        // Colours 20 and 21, on either side of 0, are white.
        c = k <= kHalf ? Along(kBlues, (kHalf - k) / (kHalf - 1.0))
                       : Along(kReds, (k - kHalf - 1) / (kHalf - 1.0));
        break;
      case Palette::kSeed:
        break;
    }
    colours[static_cast<std::size_t>(k)] = c;
  }
  return colours;
}

int ColourScale::IndexOf(float value) const {
  if (IsPreviewBlank(value)) return 0;
  if (kind == ScaleKind::kStdDev && palette != Palette::kDiverging) {
    return ScaleIndex(value, mean, kStepInStdDevs * std_dev);  // exactly as the previews
  }
  return 1 + static_cast<int>(std::lower_bound(bounds.begin(), bounds.end(), static_cast<double>(value)) -
                              bounds.begin());
}

namespace {

// Colour k spans Edge(k - 1) ... Edge(k); the ends reach low and high.
double Edge(const ColourScale& scale, int k) {
  if (k <= 0) return scale.low;
  if (k >= kScaleColours) return scale.high;
  return scale.bounds[static_cast<std::size_t>(k - 1)];
}

}  // namespace

double ColourScale::ValueAt(double position) const {
  if (!(position > 0)) return low;
  if (position >= kScaleColours) return high;
  const int k = static_cast<int>(position);
  return Edge(*this, k) + (position - k) * (Edge(*this, k + 1) - Edge(*this, k));
}

double ColourScale::PositionOf(double value) const {
  const auto edge = [this](int k) { return Edge(*this, k); };
  if (value <= low) return 0;
  if (value >= high) return kScaleColours;
  for (int k = 1; k <= kScaleColours; ++k) {
    const double bottom = edge(k - 1), top = edge(k);
    if (value <= top) return top > bottom ? k - 1 + (value - bottom) / (top - bottom) : k - 1;
  }
  return kScaleColours;
}

ColourScale LayColourScale(const ColourChoice& choice, MapQuantity quantity,
                           std::span<const float> values) {
  ColourScale scale;
  scale.palette = choice.palette.value_or(quantity == MapQuantity::kResidual ? Palette::kDiverging
                                                                             : Palette::kSeed);
  scale.kind = choice.scale.value_or(ScaleKind::kEqualised);
  scale.colours = PaletteColours(scale.palette);
  std::vector<float> sorted;
  sorted.reserve(values.size());
  RasterStatistics statistics;  // the previews' mean and standard deviation
  for (const float v : values) {
    if (IsPreviewBlank(v)) continue;
    sorted.push_back(v);
    statistics.Add(v);
  }
  PreviewRaster held;
  statistics.StoreIn(held);
  scale.mean = held.mean;
  scale.std_dev = held.std_dev;
  std::sort(sorted.begin(), sorted.end());
  if (sorted.empty()) sorted.push_back(0);
  const bool diverging = scale.palette == Palette::kDiverging;

  if (quantity == MapQuantity::kGap) {
    scale.kind = ScaleKind::kRange;
    Linear(scale, 0, 360);
    scale.marks = {90, 180};
    return scale;
  }
  if (quantity == MapQuantity::kRingCount) {
    scale.kind = ScaleKind::kRange;
    double high = sorted.back();
    double low = 0;
    WidenRange(low, high);
    Linear(scale, 0, high);
    return scale;
  }
  switch (scale.kind) {
    case ScaleKind::kStdDev: {
      const double step = kStepInStdDevs * scale.std_dev;
      const double centre = diverging ? 0 : scale.mean;
      const int middle = diverging ? kHalf : kScaleCentre;
      for (int k = 1; k < kScaleColours; ++k) {
        scale.bounds[static_cast<std::size_t>(k - 1)] = centre + (k - middle) * step;
      }
      scale.low = scale.bounds[0] - step;
      scale.high = scale.bounds[kScaleColours - 2] + step;
      break;
    }
    case ScaleKind::kLinear:
    case ScaleKind::kRange: {
      double low = scale.kind == ScaleKind::kRange ? choice.range_min : Quantile(sorted, 0.02);
      double high = scale.kind == ScaleKind::kRange ? choice.range_max : Quantile(sorted, 0.98);
      if (diverging && scale.kind == ScaleKind::kLinear) {
        high = std::max(std::abs(low), std::abs(high));
        low = -high;
      }
      WidenRange(low, high);
      if (diverging && low < 0 && high > 0) {
        // Each half in equal steps, 0 between the two white colours.
        for (int k = 1; k < kScaleColours; ++k) {
          scale.bounds[static_cast<std::size_t>(k - 1)] =
              k <= kHalf ? low * (kHalf - k) / kHalf : high * (k - kHalf) / kHalf;
        }
        scale.low = low;
        scale.high = high;
      } else {
        Linear(scale, low, high);
      }
      break;
    }
    case ScaleKind::kEqualised: {
      double low = sorted.front(), high = sorted.back();
      WidenRange(low, high);
      scale.low = low;
      scale.high = high;
      if (diverging) {
        // Each sign's values equalised over its own 20 colours.
        const auto zero = std::lower_bound(sorted.begin(), sorted.end(), 0.0f);
        std::vector<float> below(sorted.begin(), zero), above(zero, sorted.end());
        for (float& v : below) v = -v;
        std::reverse(below.begin(), below.end());
        if (below.empty()) below = above;
        if (above.empty()) above = below;
        if (below.empty()) below = above = {1.0f};
        Equalised(scale, above, kHalf + 1, kHalf - 1);
        std::vector<double> lower(kHalf - 1);
        for (int k = 0; k < kHalf - 1; ++k) {
          lower[static_cast<std::size_t>(k)] = -Quantile(below, static_cast<double>(k + 1) / kHalf);
        }
        for (int k = 1; k < kHalf; ++k) scale.bounds[static_cast<std::size_t>(k - 1)] = lower[static_cast<std::size_t>(kHalf - 1 - k)];
        scale.bounds[kHalf - 1] = 0;
        scale.low = std::min(scale.low, -static_cast<double>(below.back()));
        scale.high = std::max(scale.high, static_cast<double>(above.back()));
      } else {
        Equalised(scale, sorted, 1, kScaleColours - 1);
      }
      break;
    }
  }
  return scale;
}

}  // namespace torvane
