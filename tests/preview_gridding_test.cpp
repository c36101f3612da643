// The preview's gridding and resampling: node values by inverse distance,
// the resampling of lines and of the node grid, and the raster statistics.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "preview/PreviewNodes.h"
#include "preview/ResampleRaster.h"
#include "tests/ScriptedPlatform.h"

namespace torvane::testing {
namespace {

constexpr float kBlank = kPreviewBlank;

// Points with their bounding box and their cluster of cells `cell` wide.
struct Survey {
  ScriptedPlatform platform;
  PointSet points;
  NeighbourCluster cluster;

  Survey(const std::vector<std::tuple<double, double, double>>& xy_cba, double cell) {
    for (const auto& [x, y, cba] : xy_cba) points.points.push_back({x, y, 0, 0, cba, 0});
    points.min_x = points.max_x = points.points[0].x;
    points.min_y = points.max_y = points.points[0].y;
    for (const SurveyPoint& p : points.points) {
      points.min_x = std::min(points.min_x, p.x);
      points.max_x = std::max(points.max_x, p.x);
      points.min_y = std::min(points.min_y, p.y);
      points.max_y = std::max(points.max_y, p.y);
    }
    EXPECT_TRUE(BuildNeighbourCluster(platform, points, cell, cluster));
  }

  float Node(int i, int j, double radius) const {
    return PreviewNodes(points, cluster, &SurveyPoint::cba, 100, radius, 1).Node(i, j);
  }
};

// Two corner points fix the grid at 0 ... 600 with 100 m cells; neither is
// within 100 m of node (3, 3) at (300, 300).
Survey WithCorners(std::vector<std::tuple<double, double, double>> more) {
  more.insert(more.begin(), {{0, 0, 1}, {600, 600, 2}});
  return Survey(more, 100);
}

TEST(PreviewNodes, PointAtExactlyTheRadiusCountsAndJustBeyondDoesNot) {
  const Survey survey = WithCorners({{360, 380, 7}});
  // The distance as the gridding measures it, offsets included.
  const double dx = 300 - 360 + 0.001;
  const double dy = 300 - 380 + 0.001;
  const double distance = std::sqrt(dx * dx + dy * dy);
  EXPECT_EQ(survey.Node(3, 3, distance), 7.0f);
  EXPECT_EQ(survey.Node(3, 3, std::nextafter(distance, 0.0)), kBlank);
}

TEST(PreviewNodes, NodeFarFromEveryPointIsBlank) {
  const Survey survey = WithCorners({});
  EXPECT_EQ(survey.Node(3, 3, 100), kBlank);
  EXPECT_EQ(survey.Node(0, 0, 100), 1.0f);
  EXPECT_EQ(survey.Node(6, 6, 100), 2.0f);
}

TEST(PreviewNodes, PointOnANodeDominatesItWithoutDividingByZero) {
  // Weights 1 / (0.001 * sqrt 2) and 1 / 49.999.
  const Survey survey = WithCorners({{300, 300, 9}, {350, 300, 1}});
  EXPECT_NEAR(survey.Node(3, 3, 100), 8.9997737, 1e-6);
}

TEST(PreviewNodes, PointAtDistanceZeroGivesTheNodeItsValue) {
  // x and y exceed node (0, 0) by exactly the offset: distance 0.
  const Survey one({{0, 0, 1}, {0.001, 0.001, 5}, {500, 500, 3}}, 100);
  EXPECT_EQ(one.Node(0, 0, 100), 5.0f);
  // Two such points share the node.
  const Survey two({{0, 0, 1}, {0.001, 0.001, 5}, {0.001, 0.001, 7}, {500, 500, 3}}, 100);
  EXPECT_EQ(two.Node(0, 0, 100), 6.0f);
}

TEST(PreviewNodes, SinglePointGivesEveryNodeWithinReachItsValue) {
  const Survey survey = WithCorners({{310, 290, 4.25}});
  for (int i = 2; i <= 4; ++i) {
    for (int j = 2; j <= 4; ++j) {
      const double dx = i * 100 - 310 + 0.001;
      const double dy = j * 100 - 290 + 0.001;
      const bool within = std::sqrt(dx * dx + dy * dy) <= 100;
      EXPECT_EQ(survey.Node(i, j, 100), within ? 4.25f : kBlank) << i << "," << j;
    }
  }
}

TEST(PreviewNodes, OnlyCellsWithinReachAreSearched) {
  // With a radius of 1000 the point 300 m away would count, but it lies
  // three cells from the node and the reach is one cell.
  const Survey survey = WithCorners({{600, 300, 8}});
  EXPECT_EQ(survey.Node(3, 3, 1000), kBlank);
  EXPECT_EQ(ReachInCells(100, 100, survey.cluster), 1);
  EXPECT_EQ(ReachInCells(250, 100, survey.cluster), 3);
}

struct LineCase {
  const char* name;
  std::vector<float> source;
  double source_spacing;
  std::size_t count;
  double spacing;
  std::vector<float> expected;
};

const LineCase kLines[] = {
    {"ThreeSpacedTwoToFiveSpacedOne", {1, 3, 7}, 2, 5, 1, {1, 2, 3, 5, 7}},
    {"BlankNeighbourMakesBlank", {1, kBlank, 7}, 2, 5, 1, {1, kBlank, kBlank, kBlank, 7}},
    {"BeyondTheLastSourceTakesTheLast", {2, 4}, 3, 6, 1, {2, 8.0f / 3, 10.0f / 3, 4, 4, 4}},
    {"OneSourceSampleFillsTheLine", {5}, 10, 4, 3, {5, 5, 5, 5}},
    {"OneOutputSampleIsTheFirst", {5, 6, 7}, 1, 1, 1, {5}},
    {"NoOutputSample", {5, 6}, 1, 0, 1, {}},
    {"NoSourceSampleIsBlank", {}, 1, 3, 1, {kBlank, kBlank, kBlank}},
};

class ResampleLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ResampleLineTest, Samples) {
  const LineCase& c = GetParam();
  // Sentinels on both sides of the line must survive.
  std::vector<float> buffer(c.count + 2, -123.0f);
  ResampleLine(c.source, c.source_spacing, std::span<float>(buffer).subspan(1, c.count),
               c.spacing);
  EXPECT_EQ(buffer.front(), -123.0f);
  EXPECT_EQ(buffer.back(), -123.0f);
  for (std::size_t k = 0; k < c.count; ++k) {
    EXPECT_FLOAT_EQ(buffer[k + 1], c.expected[k]) << "sample " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, ResampleLineTest, ::testing::ValuesIn(kLines),
                         [](const auto& row) { return std::string(row.param.name); });

PreviewGrid Grid(int nx, int ny, std::vector<float> values) { return {nx, ny, std::move(values)}; }

TEST(ResampleToRaster, TwoByTwoNodesOnFourByFourPixels) {
  // Nodes 1 m apart: (0, 0) 0, (0, 1) 4, (1, 0) 8, (1, 1) 12. Pixels are
  // 0.5 m; the pixels past the last node take the last node's value.
  ScriptedPlatform platform;
  PreviewRaster raster;
  ASSERT_TRUE(ResampleToRaster(platform, Grid(2, 2, {0, 4, 8, 12}), 1.0, {4, 4}, raster));
  EXPECT_EQ(raster.used_x, 4);
  EXPECT_EQ(raster.used_y, 4);
  EXPECT_EQ(raster.pixel_size, 0.5);
  const float expected[4][4] = {// [y][x]
                                {0, 4, 8, 8},
                                {2, 6, 10, 10},
                                {4, 8, 12, 12},
                                {4, 8, 12, 12}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(raster.At(x, y), expected[y][x]) << x << "," << y;
  }
  // Sum 120, sum of squares 1120 over 16 pixels.
  EXPECT_DOUBLE_EQ(raster.mean, 7.5);
  EXPECT_DOUBLE_EQ(raster.std_dev, std::sqrt(44.0 / 3));
}

TEST(ResampleToRaster, GridTwiceAsWideAsTallFillsTheWidth) {
  ScriptedPlatform platform;
  PreviewRaster raster;
  const PreviewGrid grid = Grid(20, 10, std::vector<float>(200, 3.0f));
  ASSERT_TRUE(ResampleToRaster(platform, grid, 100, {177, 145}, raster));
  // s = 2000 / 177: the width holds 177 pixels, the height 1000 / s = 88.5.
  EXPECT_DOUBLE_EQ(raster.pixel_size, 2000.0 / 177);
  EXPECT_EQ(raster.used_x, 177);
  EXPECT_EQ(raster.used_y, 88);
  EXPECT_EQ(raster.At(176, 87), 3.0f);
  for (int x = 0; x < 177; ++x) {
    for (int y = 88; y < 145; ++y) ASSERT_EQ(raster.At(x, y), kBlank) << x << "," << y;
  }
}

TEST(ResampleToRaster, EqualValuesGiveStandardDeviationOne) {
  ScriptedPlatform platform;
  PreviewRaster raster;
  ASSERT_TRUE(ResampleToRaster(platform, Grid(3, 2, std::vector<float>(6, -2.5f)), 50,
                               {177, 145}, raster));
  EXPECT_EQ(raster.mean, -2.5);
  EXPECT_EQ(raster.std_dev, 1.0);
}

TEST(ResampleToRaster, BlankNodesStayOutOfTheStatistics) {
  // One valued node among blanks: every interpolated pixel next to a blank
  // is blank, so only copies of the valued node remain.
  ScriptedPlatform platform;
  PreviewRaster raster;
  raster.mean = 99;
  ASSERT_TRUE(ResampleToRaster(platform, Grid(2, 2, {6, kBlank, kBlank, kBlank}), 1, {4, 4},
                               raster));
  EXPECT_EQ(raster.At(0, 0), 6.0f);
  EXPECT_EQ(raster.At(1, 0), kBlank);
  EXPECT_EQ(raster.mean, 6.0);
  EXPECT_EQ(raster.std_dev, 1.0) << "a single valued pixel";
  // All blank: the statistics of the raster before stay.
  raster.mean = 42;
  raster.std_dev = 3;
  ASSERT_TRUE(ResampleToRaster(platform, Grid(1, 1, {kBlank}), 1, {4, 4}, raster));
  EXPECT_EQ(raster.mean, 42);
  EXPECT_EQ(raster.std_dev, 3);
  EXPECT_TRUE(platform.Messages().empty());
}

TEST(ResampleToRaster, LongNarrowGridUsesLessThanTwoRows) {
  ScriptedPlatform platform;
  PreviewRaster raster;
  ASSERT_TRUE(ResampleToRaster(platform, Grid(400, 1, std::vector<float>(400, 1.0f)), 10,
                               {177, 145}, raster));
  EXPECT_EQ(raster.used_x, 177);
  EXPECT_EQ(raster.used_y, 0);
  EXPECT_EQ(raster.values.size(), 177u * 145u);
}

}  // namespace
}  // namespace torvane::testing
