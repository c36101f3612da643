// The map renderer: gridding at any cell against a plain loop, the drawn
// files read back by GDAL, Python's XML parser and pdfinfo: their size, the
// colour bar, blanks, frame and proportions, and the previews' colours.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "preview/ColourRaster.h"
#include "preview/MapRenderer.h"
#include "preview/PreviewNodes.h"
#include "tests/MapReading.h"
#include "tests/ScriptedPlatform.h"

namespace torvane::testing {
namespace {

// A surface of nx x ny nodes `step` apart from (x0, y0), valued by f(x, y).
template <typename F>
MapSurface Surface(int nx, int ny, double x0, double y0, double step, F f) {
  MapSurface s{x0, y0, step, step, nx, ny, {}};
  for (int i = 0; i < nx; ++i) {
    for (int j = 0; j < ny; ++j) s.values.push_back(static_cast<float>(f(x0 + i * step, y0 + j * step)));
  }
  return s;
}

MapSurface Ramp() {
  return Surface(41, 31, 1000, 5000, 25, [](double x, double y) {
    return std::sin(x / 180) * 3 + std::cos(y / 230) * 2 + x / 400;
  });
}

TEST(MapGridding, NodesOffTheCellCentresMatchAPlainLoopOverEveryPoint) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> along(0, 1000);
  PointSet points;
  for (int k = 0; k < 600; ++k) {
    const SurveyPoint p{along(random), along(random) * 0.7, static_cast<double>(k), 0, along(random) / 10, 0};
    points.points.push_back(p);
  }
  points.min_x = points.min_y = 1e9;
  points.max_x = points.max_y = -1e9;
  for (const SurveyPoint& p : points.points) {
    points.min_x = std::min(points.min_x, p.x);
    points.max_x = std::max(points.max_x, p.x);
    points.min_y = std::min(points.min_y, p.y);
    points.max_y = std::max(points.max_y, p.y);
  }
  ScriptedPlatform platform;
  const double cell_size = 100;
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, points, cell_size, cluster));

  for (const auto& [cell, radius] : {std::pair{20.0, 100.0}, {33.0, 170.0}, {7.5, 40.0}}) {
    MapSurface surface;
    ASSERT_TRUE(GridMapSurface(platform, points, cluster, cell_size, &SurveyPoint::cba, cell,
                               radius, {Gridder::kInverseDistance}, surface));
    EXPECT_GE(surface.x_max(), points.max_x);
    EXPECT_LT(surface.x_max(), points.max_x + cell);
    for (int i = 0; i < surface.nx; ++i) {
      for (int j = 0; j < surface.ny; ++j) {
        double sum_v = 0, sum_w = 0;
        for (const SurveyPoint& p : points.points) {
          const double dx = surface.x0 + i * cell - p.x + 0.001;
          const double dy = surface.y0 + j * cell - p.y + 0.001;
          const double d = std::sqrt(dx * dx + dy * dy);
          if (d > radius) continue;
          sum_v += p.cba / d;
          sum_w += 1 / d;
        }
        const float got = surface.values[static_cast<std::size_t>(i * surface.ny + j)];
        if (sum_w == 0) {
          ASSERT_TRUE(IsPreviewBlank(got)) << i << "," << j;
        } else {
          ASSERT_NEAR(got, sum_v / sum_w, 1e-4) << "cell " << cell << " node " << i << "," << j;
        }
      }
    }
  }
}

TEST(MapGridding, ASurveyAlongOneLineStillHasCellsToDraw) {
  PointSet points;
  for (int k = 0; k <= 20; ++k) points.points.push_back({500, k * 50.0, 0, 0, k * 1.0, 0});
  points.min_x = points.max_x = 500;
  points.min_y = 0;
  points.max_y = 1000;
  ScriptedPlatform platform;
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, points, 100, cluster));
  MapSurface surface;
  ASSERT_TRUE(GridMapSurface(platform, points, cluster, 100, &SurveyPoint::cba, 20, 100, {Gridder::kInverseDistance}, surface));
  EXPECT_EQ(surface.nx, 2);
  EXPECT_EQ(surface.ny, 51);
  EXPECT_NEAR(SurfaceValueAt(surface, 505, 500), 10, 0.5);
}

struct Drawn {
  DecodedPicture png;
  MapLayout layout;
};

Drawn DrawPng(const TempDir& dir, const MapScene& scene, int width, int height) {
  ScriptedPlatform platform;
  const std::string path = dir.File("map.png");
  EXPECT_TRUE(SaveMap(platform, path, MapFormat::kPng, scene, FullView(scene), width, height));
  return {DecodePng(dir, path), RenderMapImage(scene, FullView(scene), width, height).layout};
}

TEST(MapPicture, HasTheSizeAskedForAndKeepsTheMapsProportionsInABlackFrame) {
  TempDir dir;
  const MapSurface surface = Ramp();  // 1000 x 750 m
  MapScene scene;
  scene.surface = &surface;
  scene.title = "Ramp";
  for (const auto& [width, height] : {std::pair{1200, 900}, {640, 480}, {300, 700}, {1000, 300}}) {
    const Drawn drawn = DrawPng(dir, scene, width, height);
    ASSERT_TRUE(drawn.png.ok);
    EXPECT_EQ(drawn.png.width, width);
    EXPECT_EQ(drawn.png.height, height);
    const PixelBox& plot = drawn.layout.plot;
    EXPECT_NEAR(static_cast<double>(plot.width) / plot.height, 1000.0 / 750.0, 2.0 / plot.height);
    EXPECT_GE(plot.left, 0);
    EXPECT_LE(drawn.layout.colour_bar.left + drawn.layout.colour_bar.width, width);
    for (int x = plot.left - 1; x <= plot.left + plot.width; ++x) {
      ASSERT_EQ(drawn.png.At(x, plot.top - 1), kBlack) << width << " x=" << x;
      ASSERT_EQ(drawn.png.At(x, plot.top + plot.height), kBlack) << width << " x=" << x;
    }
    for (int y = plot.top - 1; y <= plot.top + plot.height; ++y) {
      ASSERT_EQ(drawn.png.At(plot.left - 1, y), kBlack) << width << " y=" << y;
      ASSERT_EQ(drawn.png.At(plot.left + plot.width, y), kBlack) << width << " y=" << y;
    }
  }
}

TEST(MapPicture, ColourBarHoldsTheFortyColoursFromLowAtTheBottom) {
  TempDir dir;
  const MapSurface surface = Ramp();
  MapScene scene;
  scene.surface = &surface;
  const Drawn drawn = DrawPng(dir, scene, 1200, 900);
  ASSERT_TRUE(drawn.png.ok);
  const PixelBox& bar = drawn.layout.colour_bar;
  const int box = bar.height / kScaleColours;
  ASSERT_GE(box, 3);
  for (int k = 1; k <= kScaleColours; ++k) {
    const int y = bar.top + bar.height - k * box + box / 2;
    EXPECT_EQ(drawn.png.At(bar.left + bar.width / 2, y), kColourScale[static_cast<std::size_t>(k)])
        << "colour " << k;
  }
}

TEST(MapPicture, PlotHasThePreviewsColoursForTheSameValues) {
  TempDir dir;
  const MapSurface surface = Ramp();
  MapScene scene;
  scene.surface = &surface;
  scene.colours.scale = ScaleKind::kStdDev;
  const Drawn drawn = DrawPng(dir, scene, 800, 600);
  ASSERT_TRUE(drawn.png.ok);
  const MapLayout& layout = drawn.layout;
  const PreviewRaster raster = MapRaster(surface, layout.view, layout.pixel_size,
                                         layout.plot.width, layout.plot.height);
  PreviewPixels pixels;
  ColourRaster(raster, pixels);
  int differing = 0;
  for (int x = 0; x < layout.plot.width; ++x) {
    for (int y = 0; y < layout.plot.height; ++y) {
      const Rgb expected = pixels.colours[static_cast<std::size_t>(x * layout.plot.height + y)];
      differing += drawn.png.At(layout.plot.left + x, layout.plot.top + layout.plot.height - 1 - y) !=
                   expected;
    }
  }
  EXPECT_EQ(differing, 0);
  ASSERT_TRUE(layout.scale);
  EXPECT_DOUBLE_EQ(layout.scale->mean, raster.mean);
}

TEST(MapPicture, FlatSurfaceIsTheCentreColourInFlatLightAndBlanksAreWhite) {
  TempDir dir;
  // Flat everywhere but the western half of the northern half, which is blank.
  const MapSurface surface = Surface(21, 21, 0, 0, 50, [](double x, double y) {
    return x < 500 && y > 500 ? 1e38 : 7.5;
  });
  MapScene scene;
  scene.surface = &surface;
  scene.colours.scale = ScaleKind::kStdDev;
  const Drawn drawn = DrawPng(dir, scene, 900, 900);
  ASSERT_TRUE(drawn.png.ok);
  const PixelBox& plot = drawn.layout.plot;
  // Every value at the mean takes colour 21, (255, 233, 0), darkened by 38
  // in the light that falls on a flat surface.
  const Rgb flat{217, 195, 0};
  EXPECT_EQ(drawn.png.At(plot.left + plot.width * 3 / 4, plot.top + plot.height * 3 / 4), flat);
  EXPECT_EQ(drawn.png.At(plot.left + plot.width / 4, plot.top + plot.height * 3 / 4), flat);
  EXPECT_EQ(drawn.png.At(plot.left + plot.width / 4, plot.top + plot.height / 4), kWhite);
  EXPECT_EQ(drawn.png.At(plot.left + 3, plot.top + 3), kWhite);
}

TEST(MapPicture, StationsAloneAreDotsInTheColoursOfTheirOwnValues) {
  TempDir dir;
  // A 9 x 9 lattice of stations 100 m apart valued 0 ... 80 from the south-west.
  std::vector<SurveyPoint> stations;
  std::vector<float> values;
  for (int i = 0; i < 9; ++i) {
    for (int j = 0; j < 9; ++j) {
      stations.push_back({i * 100.0, j * 100.0, 0, 0, 0, 0});
      values.push_back(static_cast<float>(i * 9 + j));
    }
  }
  values[40] = kPreviewBlank;  // left out
  MapScene scene;
  scene.stations = stations;
  scene.station_values = values;
  scene.show_stations = true;
  scene.colours.scale = ScaleKind::kStdDev;
  const Drawn drawn = DrawPng(dir, scene, 900, 900);
  ASSERT_TRUE(drawn.png.ok);
  const MapLayout& layout = drawn.layout;
  ASSERT_TRUE(layout.scale);
  // A plain mean and standard deviation of the 80 values.
  double sum = 0, squares = 0;
  int n = 0;
  for (const float v : values) {
    if (IsPreviewBlank(v)) continue;
    sum += v;
    squares += static_cast<double>(v) * v;
    ++n;
  }
  const double mean = sum / n;
  EXPECT_NEAR(layout.scale->mean, mean, 1e-9);
  EXPECT_NEAR(layout.scale->std_dev, std::sqrt((n * squares - sum * sum) / (n * (n - 1.0))), 1e-9);
  for (std::size_t k = 0; k < stations.size(); ++k) {
    const double x = layout.plot.left + (stations[k].x - layout.view.x_min) / layout.pixel_size;
    const double y = layout.plot.top + layout.plot.height - (stations[k].y - layout.view.y_min) / layout.pixel_size;
    if (stations[k].x == 0 || stations[k].y == 0 || stations[k].x == 800 || stations[k].y == 800) continue;
    const Rgb centre = drawn.png.At(static_cast<int>(x), static_cast<int>(y));
    if (IsPreviewBlank(values[k])) {
      EXPECT_EQ(centre, kWhite) << "left out";
    } else {
      const int index = ScaleIndex(values[k], layout.scale->mean, 0.066 * layout.scale->std_dev);
      EXPECT_EQ(centre, kColourScale[static_cast<std::size_t>(index)]) << "station " << k;
    }
  }
}

TEST(MapFiles, SvgAndPdfAreWellFormedAndSized) {
  TempDir dir;
  const MapSurface surface = Ramp();
  MapScene scene;
  scene.surface = &surface;
  scene.title = "Ramp \u2014 test";
  ScriptedPlatform platform;
  ASSERT_TRUE(SaveMap(platform, dir.File("m.svg"), MapFormat::kSvg, scene, FullView(scene), 1000, 700));
  EXPECT_EQ(SvgSize(dir, dir.File("m.svg")), "1000pxx700px");
  ASSERT_TRUE(SaveMap(platform, dir.File("m.pdf"), MapFormat::kPdf, scene, FullView(scene), 1200, 900));
  const std::string pdf = PdfPages(dir, dir.File("m.pdf"));
  EXPECT_NE(pdf.find("Pages:           1"), std::string::npos) << pdf;
  EXPECT_NE(pdf.find("Page size:       900 x 675 pts"), std::string::npos) << pdf;  // 96 px an inch
}

// Each failure names the map and, where the window can say it, why;
// nothing is left behind.
TEST(MapFiles, AMapThatCannotBeDrawnOrWrittenIsReportedWithItsReason) {
  TempDir dir;
  const MapSurface surface = Ramp();
  MapScene scene;
  scene.surface = &surface;
  struct Case {
    std::string file;
    MapFormat format;
    int width, height;
    std::string message;  // the whole message, as the window shows it
  };
  const std::string missing = dir.File("no/such/folder/map.png");
  const std::string wide = dir.File("wide.png");
  const std::string too_big =
      ": invalid value (typically too big) for the size of the input (surface, pattern, etc.)";
  const Case cases[] = {
      {missing, MapFormat::kPng, 400, 300, "info: Cannot create file \"" + missing + "\""},
      // Wider than cairo draws in one picture, and no picture at all.
      {wide, MapFormat::kPng, 40000, 16, "info: Cannot draw the map \"" + wide + "\"" + too_big},
      {dir.File("m.svg"), MapFormat::kSvg, 0, 300,
       "info: Cannot draw the map \"" + dir.File("m.svg") + "\"" + too_big},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " " + std::to_string(c.width));
    ScriptedPlatform platform;
    EXPECT_FALSE(SaveMap(platform, c.file, c.format, scene, FullView(scene), c.width, c.height));
    EXPECT_EQ(platform.Messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(dir.Entries().size(), 0u);
  }
}

TEST(MapFiles, FormatFollowsTheExtensionInAnyCase) {
  EXPECT_EQ(MapFormatOfName("a.PNG"), MapFormat::kPng);
  EXPECT_EQ(MapFormatOfName("dir.x/a.svg"), MapFormat::kSvg);
  EXPECT_EQ(MapFormatOfName("a.Pdf"), MapFormat::kPdf);
  EXPECT_EQ(MapFormatOfName("a.jpg"), std::nullopt);
  EXPECT_EQ(MapFormatOfName("dir.png/a"), std::nullopt);
}

}  // namespace
}  // namespace torvane::testing
