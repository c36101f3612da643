// The maps' colour scales, contours and vector files: what a reader of the
// map relies on, checked on skewed data, a real survey and the files read
// back by poppler's tools.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "points/NeighbourCluster.h"
#include "points/PointFileReader.h"
#include "preview/ColourScale.h"
#include "preview/Contours.h"
#include "preview/MapRenderer.h"
#include "preview/RoundNumbers.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    pclose(pipe);
  }
  return text;
}

TEST(MapColours, EqualisedScaleGivesEachColourAboutTheSameShare) {
  std::mt19937 random(7);
  std::lognormal_distribution<float> skewed(0.0f, 1.2f);
  std::vector<float> values(100000);
  for (float& v : values) v = skewed(random);
  for (const Palette palette : {Palette::kSeed, Palette::kViridis}) {
    ColourChoice choice;
    choice.palette = palette;
    const ColourScale scale = LayColourScale(choice, MapQuantity::kValue, values);
    std::vector<int> count(kScaleColours + 1, 0);
    for (const float v : values) ++count[static_cast<std::size_t>(scale.IndexOf(v))];
    EXPECT_EQ(count[0], 0);
    for (int k = 1; k <= kScaleColours; ++k) {
      const double share = static_cast<double>(count[static_cast<std::size_t>(k)]) / static_cast<double>(values.size());
      EXPECT_GE(share, 0.02) << "colour " << k;
      EXPECT_LE(share, 0.03) << "colour " << k;
    }
  }
}

TEST(MapColours, DivergingPaletteMapsZeroToWhiteOnEveryScale) {
  std::vector<float> values;
  for (int k = -300; k <= 1000; ++k) values.push_back(static_cast<float>(k) * 0.037f);
  for (const ScaleKind kind : kScaleKinds) {
    ColourChoice choice;
    choice.scale = kind;
    choice.range_min = -5;
    choice.range_max = 12;
    const ColourScale scale = LayColourScale(choice, MapQuantity::kResidual, values);
    ASSERT_EQ(scale.palette, Palette::kDiverging) << "the residuals' default";
    EXPECT_EQ(scale.colours[static_cast<std::size_t>(scale.IndexOf(0.0f))], kWhite) << ScaleKindName(kind);
    // Blue below, red above.
    const Rgb low = scale.colours[static_cast<std::size_t>(scale.IndexOf(values.front()))];
    const Rgb high = scale.colours[static_cast<std::size_t>(scale.IndexOf(values.back()))];
    EXPECT_GT(low.b, low.r) << ScaleKindName(kind);
    EXPECT_GT(high.r, high.b) << ScaleKindName(kind);
  }
  // GAP: always 0 to 360 with 90 and 180 marked.
  const ColourScale gap = LayColourScale({}, MapQuantity::kGap, std::vector<float>{10, 40, 130});
  EXPECT_DOUBLE_EQ(gap.low, 0);
  EXPECT_DOUBLE_EQ(gap.high, 360);
  EXPECT_EQ(gap.marks, (std::vector<double>{90, 180}));
}

TEST(MapColours, BushveldCbaMapGivesNoColourMoreThanATenthOfItsArea) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(ReadPointFile(platform, InteropDir() + "/bushveld_cba.dat", PointColumns{0, 1, 2, 4}, points));
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, points, 30000, cluster));
  std::vector<double> x, y;
  for (const SurveyPoint& p : points.points) {
    x.push_back(p.x);
    y.push_back(p.y);
  }
  MapSurface surface;
  ASSERT_TRUE(GridMapSurface(platform, points, cluster, 30000, &SurveyPoint::cba,
                             DefaultStationCell(x, y), 30000, GriddingOptions(), surface));
  MapScene scene;
  scene.surface = &surface;
  scene.quantity = MapQuantity::kCba;
  const MapImage image = RenderMapImage(scene, FullView(scene), 1200, 900);
  ASSERT_TRUE(image.layout.scale);
  const MapLayout& layout = image.layout;
  const PreviewRaster raster = MapRaster(surface, layout.view, layout.pixel_size, layout.plot.width, layout.plot.height);
  std::vector<int> count(kScaleColours + 1, 0);
  int valued = 0;
  for (const float v : raster.values) {
    const int k = layout.scale->IndexOf(v);
    ++count[static_cast<std::size_t>(k)];
    valued += k > 0;
  }
  ASSERT_GT(valued, 100000);
  for (int k = 1; k <= kScaleColours; ++k) {
    EXPECT_LE(count[static_cast<std::size_t>(k)], valued / 10) << "colour " << k;
  }
}

TEST(Contours, APlaneGivesStraightLinesAtTheirLevels) {
  MapSurface plane;
  plane.x0 = 100;
  plane.y0 = -50;
  plane.dx = plane.dy = 10;
  plane.nx = 31;
  plane.ny = 21;
  for (int i = 0; i < plane.nx; ++i) {
    for (int j = 0; j < plane.ny; ++j) plane.values.push_back(static_cast<float>(0.5 * i + 0.25 * j));
  }
  // z = 0.05 (x - 100) + 0.025 (y + 50): the level's line x + y / 2 = 20 level + 75.
  const std::vector<double> levels = ContourLevels(plane, 2.5);
  ASSERT_EQ(levels, (std::vector<double>{0, 2.5, 5, 7.5, 10, 12.5, 15, 17.5, 20}));
  for (const double level : {2.5, 7.5, 12.5}) {
    const std::vector<ContourSegment> segments = ContourSegments(plane, level);
    ASSERT_FALSE(segments.empty());
    for (const ContourSegment& s : segments) {
      EXPECT_NEAR(s.x0 + s.y0 / 2, 20 * level + 75, 1e-6);
      EXPECT_NEAR(s.x1 + s.y1 / 2, 20 * level + 75, 1e-6);
    }
  }
}

// The numbers among a text's words.
std::vector<double> Numbers(const std::string& text) {
  std::vector<double> numbers;
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end != word.c_str() && *end == '\0') numbers.push_back(v);
  }
  return numbers;
}

TEST(MapFiles, PdfHoldsTextFontsAndOneImageOfTheNodes) {
  if (std::system("pdftotext -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "no poppler tools";
  TempDir dir;
  MapSurface surface;  // 37 x 23 nodes from -13.4 to 21.9
  surface.x0 = 2000;
  surface.y0 = 7000;
  surface.dx = surface.dy = 25;
  surface.nx = 37;
  surface.ny = 23;
  for (int i = 0; i < surface.nx; ++i) {
    for (int j = 0; j < surface.ny; ++j) {
      surface.values.push_back(static_cast<float>(-13.4 + 35.3 * (i * i + 3.0 * j) / (36 * 36 + 66.0)));
    }
  }
  MapScene scene;
  scene.surface = &surface;
  scene.quantity = MapQuantity::kResidual;
  scene.value_caption = QuantityLabel(MapQuantity::kResidual);
  scene.colours.scale = ScaleKind::kLinear;
  scene.crs_name = "EPSG:32735 - WGS 84 / UTM zone 35S";
  scene.contour_interval = 5;
  ScriptedPlatform platform;
  const std::string pdf = dir.File("m.pdf");
  ASSERT_TRUE(SaveMap(platform, pdf, MapFormat::kPdf, scene, FullView(scene), 1200, 900));
  const std::string text = Output("pdftotext '" + pdf + "' - 2>&1");
  for (const char* words : {"Easting [m], EPSG:32735 - WGS 84 / UTM zone 35S", "Northing [m]", "Residual [mGal]"}) {
    EXPECT_NE(text.find(words), std::string::npos) << words << " in\n" << text;
  }
  // The colour bar's labels (values below 100; the axes' are thousands) are
  // multiples of one round step.
  std::string numbers = text;  // without the CRS's "84"
  for (std::size_t at; (at = numbers.find(scene.crs_name)) != std::string::npos;) numbers.erase(at, scene.crs_name.size());
  std::vector<double> bar;
  for (const double v : Numbers(numbers)) {
    if (std::abs(v) < 100) bar.push_back(v);
  }
  std::sort(bar.begin(), bar.end());
  bar.erase(std::unique(bar.begin(), bar.end()), bar.end());
  ASSERT_GE(bar.size(), 4u) << text;
  double step = 1e300;
  for (std::size_t k = 1; k < bar.size(); ++k) step = std::min(step, bar[k] - bar[k - 1]);
  EXPECT_NEAR(RoundStepAtLeast(step * 0.999), step, 1e-9 * step);
  for (const double v : bar) EXPECT_NEAR(v / step, std::round(v / step), 1e-6) << v << " in\n" << text;

  const std::string images = Output("pdfimages -list '" + pdf + "' 2>&1");
  std::istringstream lines(images);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    int page = 0, number = 0, width = 0, height = 0;
    std::string type;
    if (!(fields >> page >> number >> type >> width >> height)) continue;
    ++count;
    EXPECT_EQ(width, 37) << images;
    EXPECT_EQ(height, 23) << images;
  }
  EXPECT_EQ(count, 1) << images;
  const std::string fonts = Output("pdffonts '" + pdf + "' 2>&1");
  EXPECT_NE(fonts.find(" yes "), std::string::npos) << fonts;
  EXPECT_EQ(fonts.find(" no  "), std::string::npos) << fonts;
}

TEST(MapFiles, EqualisedBarLabelsAreRoundAndSpreadOverTheBar) {
  if (std::system("pdftotext -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "no poppler tools";
  // Skewed values: equal steps of value would leave most of the bar bare.
  std::mt19937 random(11);
  std::lognormal_distribution<float> skewed(0.0f, 1.2f);
  MapSurface surface;
  surface.x0 = 500000;
  surface.y0 = 7000000;
  surface.dx = surface.dy = 1000;
  surface.nx = 60;
  surface.ny = 40;
  for (int k = 0; k < surface.nx * surface.ny; ++k) surface.values.push_back(skewed(random));
  MapScene scene;
  scene.surface = &surface;
  TempDir dir;
  ScriptedPlatform platform;
  const std::string pdf = dir.File("m.pdf");
  ASSERT_TRUE(SaveMap(platform, pdf, MapFormat::kPdf, scene, FullView(scene), 1200, 900));
  // The bar's labels (the axes' are hundreds of thousands) and their heights.
  const std::string boxes = Output("pdftotext -bbox '" + pdf + "' - 2>&1");
  std::vector<std::pair<double, double>> labels;  // value, top on the page
  for (std::size_t at = 0; (at = boxes.find("<word ", at)) != std::string::npos; ++at) {
    const std::size_t top = boxes.find("yMin=\"", at), open = boxes.find('>', at);
    const std::size_t close = boxes.find("</word>", open);
    if (top == std::string::npos || open == std::string::npos || close == std::string::npos) break;
    const std::string word = boxes.substr(open + 1, close - open - 1);
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0' || std::abs(v) >= 1000) continue;
    labels.emplace_back(v, std::strtod(boxes.c_str() + top + 6, nullptr));
  }
  ASSERT_GE(labels.size(), 6u) << boxes;
  std::sort(labels.begin(), labels.end());
  double gap = 0;
  for (std::size_t k = 1; k < labels.size(); ++k) {
    EXPECT_LT(labels[k].second, labels[k - 1].second) << "higher values above";
    gap = std::max(gap, labels[k - 1].second - labels[k].second);
  }
  EXPECT_LT(gap, 0.2 * (labels.front().second - labels.back().second)) << boxes;
  for (const auto& [v, top] : labels) {
    bool round = v == 0;  // a multiple of a round step not much finer than itself
    for (double step = RoundNumber(std::abs(v)); !round && step >= std::abs(v) / 20; step = RoundNumber(step * 0.999)) {
      round = std::abs(v / step - std::round(v / step)) < 1e-6;
    }
    EXPECT_TRUE(round) << v;
  }
}

}  // namespace
}  // namespace torvane::testing
