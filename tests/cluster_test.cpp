// The cell index over the points: how many cells, and which cell a point is
// filed in, at the edges where rounding decides.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "points/NeighbourCluster.h"
#include "tests/ScriptedPlatform.h"

namespace torvane::testing {
namespace {

PointSet PointsAlongX(const std::vector<double>& xs) {
  PointSet set;
  for (const double x : xs) set.points.push_back({x, 0, 0, 0, 0, 0});
  set.min_x = xs.front();
  set.max_x = xs.back();
  return set;
}

struct ColumnCase {
  const char* name;
  double extent;     // max_x - min_x, cell size 100
  int nx;            // cells along X
  int column_of_last;  // where the point at the far edge is filed
};

const ColumnCase kColumns[] = {
    {"Extent150", 150, 2, 1},  // floor(2.0) = 2 is beyond the grid: filed in column 1
    {"Extent149", 149, 2, 1},
    {"Extent100", 100, 2, 1},  // floor(1.5) = 1
    {"Extent50", 50, 1, 0},    // floor(1.0) = 1 is beyond the grid: filed in column 0
    {"SinglePoint", 0, 1, 0},
};

class ClusterColumns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ClusterColumns, CountAndFiling) {
  const ColumnCase& c = GetParam();
  PointSet set = PointsAlongX(c.extent > 0 ? std::vector<double>{0, c.extent}
                                           : std::vector<double>{0});
  ScriptedPlatform platform;
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, set, 100, cluster));
  EXPECT_EQ(cluster.nx(), c.nx);
  EXPECT_EQ(cluster.ny(), 1);
  const int last = set.count() - 1;
  for (int ix = 0; ix < cluster.nx(); ++ix) {
    const auto cell = cluster.Cell(ix, 0);
    const bool holds_last = std::find(cell.begin(), cell.end(), last) != cell.end();
    EXPECT_EQ(holds_last, ix == c.column_of_last) << "column " << ix;
  }
}

INSTANTIATE_TEST_SUITE_P(Edges, ClusterColumns, ::testing::ValuesIn(kColumns),
                         [](const auto& row) { return std::string(row.param.name); });

// Offsets below half a cell go to column 0, from half a cell up to one and a
// half cells to column 1; within a cell the indices rise.
TEST(Cluster, HalfCellBoundariesAndAscendingLists) {
  PointSet set = PointsAlongX({0, 49.999, 50, 120, 10, 149.999, 150, 300});
  set.max_x = 300;
  ScriptedPlatform platform;
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, set, 100, cluster));
  ASSERT_EQ(cluster.nx(), 4);
  const auto list = [&](int ix) {
    const auto cell = cluster.Cell(ix, 0);
    return std::vector<std::int32_t>(cell.begin(), cell.end());
  };
  EXPECT_EQ(list(0), (std::vector<std::int32_t>{0, 1, 4}));
  EXPECT_EQ(list(1), (std::vector<std::int32_t>{2, 3, 5}));
  EXPECT_EQ(list(2), (std::vector<std::int32_t>{6}));
  EXPECT_EQ(list(3), (std::vector<std::int32_t>{7}));
}

TEST(Cluster, CellOfOutsideTheBox) {
  const CellIndex below = CellOf(-60, -250, 0, 0, 100);
  EXPECT_EQ(below.ix, -1);
  EXPECT_EQ(below.iy, -2);  // floor(-200 / 100)
  const CellIndex beyond = CellOf(1e300, 0, 0, 0, 1e-300);
  EXPECT_GT(beyond.ix, std::int64_t{1} << 62) << "saturates instead of overflowing";
}

}  // namespace
}  // namespace torvane::testing
