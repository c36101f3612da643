// The core's array front: a survey handed over as arrays is stored exactly
// as the point file stores the same numbers, its rings give the residuals
// of the file's run bit for bit, and a grid's nodes handed out as doubles
// and back sample exactly as the grid read from its file.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "grid/GridArrays.h"
#include "grid/ReadGridValues.h"
#include "grid/Gridimport.h"
#include "points/PointArrays.h"
#include "points/PointFileReader.h"
#include "residual/RingResiduals.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Survey {
  std::vector<double> x, y, point, cba;
};

// Scattered stations with negative coordinates among them, written with
// every digit that reads back to the same double.
Survey RandomSurvey(unsigned seed, int count, const std::string& path) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> where(-1500.0, 3500.0);
  std::normal_distribution<double> noise(0.0, 2.0);
  Survey survey;
  std::string text = "X Y POINT H CBA\n";
  for (int i = 0; i < count; ++i) {
    survey.x.push_back(where(random));
    survey.y.push_back(where(random));
    survey.point.push_back(i + 1);
    survey.cba.push_back(noise(random));
    char line[160];
    std::snprintf(line, sizeof line, "%.17g %.17g %d 0 %.17g\n", survey.x.back(),
                  survey.y.back(), i + 1, survey.cba.back());
    text += line;
  }
  WriteFile(path, text);
  return survey;
}

TEST(ArrayFront, ArraysAreStoredAsTheFileStoresThem) {
  TempDir dir;
  const Survey survey = RandomSurvey(3, 500, dir.File("s.dat"));
  ScriptedPlatform platform;
  PointSet from_file, from_arrays;
  ASSERT_TRUE(ReadPointFile(platform, dir.File("s.dat"), PointColumns{}, from_file));
  ASSERT_TRUE(PointSetFromArrays(platform, survey.x, survey.y, survey.point, survey.cba,
                                 from_arrays));
  ASSERT_EQ(from_arrays.points.size(), from_file.points.size());
  EXPECT_TRUE(SameBits(from_arrays.shift_x, from_file.shift_x));
  EXPECT_TRUE(SameBits(from_arrays.max_y, from_file.max_y));
  for (std::size_t i = 0; i < survey.x.size(); ++i) {
    EXPECT_TRUE(SameBits(from_arrays.points[i].x, from_file.points[i].x)) << i;
    EXPECT_TRUE(SameBits(from_arrays.points[i].y, from_file.points[i].y)) << i;
    EXPECT_TRUE(SameBits(from_arrays.points[i].cba, from_file.points[i].cba)) << i;
    EXPECT_TRUE(SameBits(from_file.FileX(i), from_arrays.FileX(i))) << i;
  }
}

TEST(ArrayFront, BadArraysAreRefusedWithAMessage) {
  ScriptedPlatform platform;
  PointSet points;
  const std::vector<double> two{1.0, 2.0};
  const std::vector<double> three{1.0, 2.0, 3.0};
  const std::vector<double> far{-1.7e308, 1.7e308};
  EXPECT_FALSE(PointSetFromArrays(platform, two, three, {}, two, points));
  EXPECT_FALSE(PointSetFromArrays(platform, {}, {}, {}, {}, points));
  EXPECT_FALSE(PointSetFromArrays(platform, far, two, {}, two, points));
  EXPECT_EQ(platform.Messages(),
            (std::vector<std::string>{"info: Survey arrays differ in length",
                                      "info: Survey contains no points",
                                      "info: Survey contains coordinates out of range"}));
  EXPECT_TRUE(points.points.empty());
}

// A plain loop over every pair, with the ring's limits of the definition.
TEST(ArrayFront, RingsOverArraysMatchAPlainLoop) {
  TempDir dir;
  const Survey survey = RandomSurvey(5, 800, dir.File("s.dat"));
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(PointSetFromArrays(platform, survey.x, survey.y, {}, survey.cba, points));
  RingSettings settings;
  settings.radius = 400;
  settings.band = 60;
  RingResults rings;
  std::size_t steps = 0;
  ASSERT_EQ(GatherRings(points, settings, rings, [&](std::size_t) { return ++steps > 0; }),
            RingOutcome::kDone);
  const std::vector<std::int32_t>& counts = rings.ring_counts;
  EXPECT_EQ(steps, survey.x.size() + 2) << "one step a point, and one on each side of the index";
  for (std::size_t i = 0; i < survey.x.size(); ++i) {
    const SurveyPoint& p = points.points[i];
    int n = 0;
    double sum = 0;
    for (const SurveyPoint& q : points.points) {
      const double d = std::hypot(q.x - p.x, q.y - p.y);
      if (d >= 400 - 60 - 1e-6 && d <= 400 + 60 + 1e-6) {
        ++n;
        sum += q.cba;
      }
    }
    ASSERT_EQ(counts[i], n) << i;
    EXPECT_NEAR(p.residual, n ? p.cba - sum / n : 0.0, 1e-12) << i;
  }
}

TEST(ArrayFront, AStepThatSaysStopEndsTheRings) {
  TempDir dir;
  const Survey survey = RandomSurvey(7, 3000, dir.File("s.dat"));
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(PointSetFromArrays(platform, survey.x, survey.y, {}, survey.cba, points));
  RingSettings settings;
  settings.radius = 300;
  settings.band = 30;
  RingResults rings;
  EXPECT_EQ(GatherRings(points, settings, rings, [](std::size_t done) { return done < 100; }),
            RingOutcome::kStopped);
}

TEST(ArrayFront, GridValuesOutAndBackSampleAsTheFile) {
  ScriptedPlatform platform;
  const std::string path = std::string(TORVANE_SOURCE_DIR) + "/tests/data/gdal_gs7bg.grd";
  TGridImport file_grid(platform);
  ASSERT_TRUE(file_grid.Load(path));
  GridValues plain;
  ASSERT_TRUE(ReadGridValues(platform, path, plain));
  std::vector<double> values(std::size_t{plain.ncols} * plain.nrows);
  CopyGridValues(plain, values);
  // Row 0 is the southernmost; blanks are NaN.
  EXPECT_TRUE(SameBits(values[1], static_cast<double>(file_grid.Node(1, 0))));
  int blanks = 0;
  for (const double v : values) blanks += std::isnan(v) ? 1 : 0;
  EXPECT_EQ(blanks, 3);

  GridValues back;
  ASSERT_TRUE(GridFromValues(back, plain.ncols, plain.nrows, plain.xmin, plain.dx, plain.ymin,
                             plain.dy, values));
  EXPECT_EQ(back.nodes, plain.nodes);
  TGridImport copy(platform);
  ASSERT_TRUE(LoadGridValues(copy, back));
  for (double x = file_grid.xmin() - 10; x < file_grid.xmax() + 10; x += 7.3) {
    for (double y = file_grid.ymin() - 10; y < file_grid.ymax() + 10; y += 5.9) {
      EXPECT_TRUE(SameBits(copy.Interpolate(x, y), file_grid.Interpolate(x, y))) << x << " " << y;
    }
  }
  GridValues refused;
  EXPECT_FALSE(GridFromValues(refused, 3, 2, 0, 0, 0, 1, std::vector<double>(6, 1.0)));
}

}  // namespace
}  // namespace torvane::testing
