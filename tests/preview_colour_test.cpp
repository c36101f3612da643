// The colouring of a preview raster and its painting into a picture box.
// Expected colours are worked out by hand from the scale: a flat area has
// shade sin 45 = 0.7071, S = 180.3, darkening 128 - 90 = 38.

#include <gtest/gtest.h>

#include <functional>

#include "preview/ColourRaster.h"
#include "app/PaintPreview.h"
#include "tests/ScriptedPlatform.h"

namespace torvane::testing {
namespace {

constexpr float kBlank = kPreviewBlank;

PreviewRaster Raster(int width, int height, int used_x, int used_y, double mean, double std_dev,
                     const std::function<float(int x, int y)>& value) {
  PreviewRaster raster;
  raster.width = width;
  raster.height = height;
  raster.used_x = used_x;
  raster.used_y = used_y;
  raster.mean = mean;
  raster.std_dev = std_dev;
  raster.values.assign(static_cast<std::size_t>(width) * height, kBlank);
  for (int x = 0; x < used_x; ++x) {
    for (int y = 0; y < used_y; ++y) {
      raster.values[static_cast<std::size_t>(x) * height + y] = value(x, y);
    }
  }
  return raster;
}

Rgb PixelAt(const PreviewPixels& pixels, int x, int y) {
  return pixels.colours[static_cast<std::size_t>(x) * pixels.height + y];
}

PreviewPixels Coloured(const PreviewRaster& raster) {
  PreviewPixels pixels;
  ColourRaster(raster, pixels);
  EXPECT_EQ(pixels.width, raster.width);
  EXPECT_EQ(pixels.height, raster.height);
  return pixels;
}

struct FlatCase {
  const char* name;
  double mean;
  double std_dev;
  float value;
  Rgb expected;
};

// The scale step is 0.066 standard deviations.
const FlatCase kFlatAreas[] = {
    // Index 21 (255, 233, 0) takes mean - step < v <= mean.
    {"MeanTakesIndex21", 5, 1, 5.0f, {217, 195, 0}},
    {"JustAboveTheMeanTakesIndex22", 0, 1, 0.001f, {217, 174, 0}},
    // Index 20 is pure yellow (255, 255, 0).
    {"YellowIndex20", 0, 1, -0.1f, {217, 217, 0}},
    {"FarBelowTakesIndex1", 0, 1, -50.0f, {0, 0, 217}},
    {"FarAboveTakesIndex40", 0, 1, 50.0f, {217, 121, 217}},
};

class FlatArea : public ::testing::TestWithParam<FlatCase> {};

TEST_P(FlatArea, EveryUsedPixelHasTheShadedHue) {
  const FlatCase& c = GetParam();
  const PreviewPixels pixels =
      Coloured(Raster(5, 4, 5, 4, c.mean, c.std_dev, [&](int, int) { return c.value; }));
  for (int x = 0; x < 5; ++x) {
    for (int y = 0; y < 4; ++y) EXPECT_EQ(PixelAt(pixels, x, y), c.expected) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Colours, FlatArea, ::testing::ValuesIn(kFlatAreas),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ScaleIndex, Boundaries) {
  // Mean 0, step 0.5: index k takes (k - 22) * 0.5 < v <= (k - 21) * 0.5.
  EXPECT_EQ(ScaleIndex(0.0f, 0, 0.5), 21);
  EXPECT_EQ(ScaleIndex(-0.25f, 0, 0.5), 21);
  EXPECT_EQ(ScaleIndex(-0.5f, 0, 0.5), 20);
  EXPECT_EQ(ScaleIndex(0.25f, 0, 0.5), 22);
  EXPECT_EQ(ScaleIndex(-10.0f, 0, 0.5), 1);
  EXPECT_EQ(ScaleIndex(-9.5f, 0, 0.5), 2);
  EXPECT_EQ(ScaleIndex(9.5f, 0, 0.5), 40);
  EXPECT_EQ(ScaleIndex(1e30f, 0, 0.5), 40);
  EXPECT_EQ(ScaleIndex(kBlank, 0, 0.5), 0);
  EXPECT_EQ(kColourScale[0], kWhite);
}

// With a standard deviation of 1e6 the scale step is 66000: every value
// between -33000 and 33000 takes index 20 (yellow) around a mean of 99000,
// so only the shade changes the colour.
PreviewPixels YellowSlope(double per_pixel) {
  return Coloured(Raster(4, 4, 4, 4, 99000, 1e6, [per_pixel](int x, int y) {
    return static_cast<float>(per_pixel * (x + y));
  }));
}

TEST(HillShade, SlopeFacingTheLightGetsFullLight) {
  // Falling by 0.7071 per pixel to the east and to the north: the normal
  // (0.7071, 0.7071, 1) points at the light (0.5, 0.5, 0.7071).
  EXPECT_NEAR(HillShade(0.70710678, 0.70710678), 255, 1e-3);
  EXPECT_EQ(PixelAt(YellowSlope(-0.70710678), 1, 1), (Rgb{254, 254, 0}));
}

TEST(HillShade, SlopeTurnedAwayGetsNoLight) {
  EXPECT_EQ(HillShade(-10, -10), 0.0f);
  EXPECT_EQ(PixelAt(YellowSlope(10), 1, 1), (Rgb{127, 127, 0}));
}

TEST(HillShade, FlatGround) { EXPECT_NEAR(HillShade(0, 0), 180.31, 0.01); }

TEST(ColourRaster, BlankAmongTheFourValuesMakesThePixelWhite) {
  // Blank at (3, 3): the shade of (2, 2) needs it, row 3 repeats row 2, and
  // column 3 repeats column 2.
  const PreviewPixels pixels = Coloured(
      Raster(4, 4, 4, 4, 0, 1, [](int x, int y) { return x == 3 && y == 3 ? kBlank : -0.1f; }));
  const Rgb yellow{217, 217, 0};
  const Rgb expected[4][4] = {// [x][y]
                              {yellow, yellow, yellow, yellow},
                              {yellow, yellow, yellow, yellow},
                              {yellow, yellow, kWhite, kWhite},
                              {yellow, yellow, kWhite, kWhite}};
  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 4; ++y) EXPECT_EQ(PixelAt(pixels, x, y), expected[x][y]) << x << "," << y;
  }
}

TEST(ColourRaster, PixelsBeyondTheUsedExtentAreWhite) {
  const PreviewPixels pixels = Coloured(Raster(6, 5, 3, 2, 0, 1, [](int, int) { return 0.0f; }));
  for (int x = 0; x < 6; ++x) {
    for (int y = 0; y < 5; ++y) {
      const Rgb expected = x < 3 && y < 2 ? Rgb{217, 195, 0} : kWhite;
      EXPECT_EQ(PixelAt(pixels, x, y), expected) << x << "," << y;
    }
  }
}

TEST(ColourRaster, LastUsedColumnRepeatsTheOneBefore) {
  // Values rise to the east only at the last step: column 2 would be darker
  // on its own, but it copies column 1.
  const PreviewPixels pixels = Coloured(
      Raster(3, 3, 3, 3, 99000, 1e6, [](int x, int) { return x == 2 ? 50.0f : 0.0f; }));
  for (int y = 0; y < 3; ++y) EXPECT_EQ(PixelAt(pixels, 2, y), PixelAt(pixels, 1, y));
  EXPECT_EQ(PixelAt(pixels, 0, 0), (Rgb{217, 217, 0})) << "flat";
  EXPECT_EQ(PixelAt(pixels, 1, 0), (Rgb{127, 127, 0})) << "facing away";
}

TEST(ColourRaster, RasterNarrowerThanTwoPixelsStaysWhite) {
  for (const auto& [used_x, used_y] : {std::pair{1, 5}, std::pair{5, 1}, std::pair{0, 0}}) {
    const PreviewPixels pixels =
        Coloured(Raster(5, 5, used_x, used_y, 0, 1, [](int, int) { return 0.0f; }));
    for (const Rgb colour : pixels.colours) ASSERT_EQ(colour, kWhite) << used_x << "x" << used_y;
  }
}

TEST(PaintPreview, NorthUpInsideTheFrame) {
  RgbCanvas picture(5, 4);
  picture.Clear();
  PreviewPixels pixels{5, 4, {}};
  for (int x = 0; x < 5; ++x) {
    for (int y = 0; y < 4; ++y) {
      pixels.colours.push_back({static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(y), 7});
    }
  }
  PaintPreview(pixels, picture);
  EXPECT_TRUE(pixels.colours.empty()) << "the pixels are released";
  for (int x = 0; x < 5; ++x) {
    for (int row = 0; row < 4; ++row) {
      const bool frame = x == 0 || x == 4 || row == 0 || row == 3;
      // Screen row 1 is raster row 2 (north up).
      const Rgb expected = frame ? kBlack : Rgb{static_cast<std::uint8_t>(10 * x),
                                                 static_cast<std::uint8_t>(3 - row), 7};
      EXPECT_EQ(picture.Pixel(x, row), expected) << x << "," << row;
    }
  }
}

}  // namespace
}  // namespace torvane::testing
