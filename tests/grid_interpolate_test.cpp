// Interpolation in the grid: the cell rules at the edges and around blank
// nodes, where the nodes are held (memory or the file), and disk mode
// against memory mode and against the plainest bilinear loop, value for
// value, on random grids and positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <vector>

#include "grid/BilinearBatch.h"
#include "grid/Gridimport.h"
#include "tests/GridWriters.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

const std::string kDiskMode = "info: Grid is too big to fit in memory - data will be read from HDD";

// Loads `content` written as a file, with `memory` bytes available. With
// `file_size`, the file is made that long (a sparse file of zero bytes after
// the content), so that a large grid costs no disk.
struct LoadedGrid {
  TempDir dir;
  ScriptedPlatform platform;
  TGridImport grid;
  LoadedGrid(const std::string& content, std::uint64_t memory, std::uintmax_t file_size = 0,
             MappedFile::Access access = MappedFile::Access::kMapOrRead)
      : grid(platform, UINT64_MAX, access) {
    platform.set_available_memory(memory);
    WriteFile(dir.File("g.grd"), content);
    if (file_size > content.size()) std::filesystem::resize_file(dir.File("g.grd"), file_size);
    accepted = grid.Load(dir.File("g.grd"));
  }
  bool accepted = false;
};

constexpr std::uint64_t kPlenty = std::uint64_t{1} << 40;
constexpr std::uint64_t kNone = 1;  // (0 would mean "ask the system")

// 3 x 3 nodes 10 apart from (100, 200); node (2, 2) is blank.
TestGrid CornerGrid() {
  TestGrid grid(3, 3, 100, 200, 10, 10);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) grid.at(c, r) = c + 3 * r;
  }
  grid.at(2, 2) = kSurferBlank;
  return grid;
}

struct PositionCase {
  const char* name;
  double x, y;
  double expected;  // kBlankValue for blank
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const PositionCase kPositions[] = {
    {"SouthWestNode", 100, 200, 0},
    {"WestEdge", 100, 205, 1.5},
    {"SouthEdge", 105, 200, 0.5},
    {"CellMiddle", 105, 205, 2},
    {"Quarter", 102.5, 207.5, 0.25 + 3 * 0.75},
    {"EastEdgeIsOutside", 120, 205, kBlankValue},
    {"NorthEdgeIsOutside", 105, 220, kBlankValue},
    {"NodeBesideBlankCellInOtherCell", 110, 200, 1},
    {"CellWithBlankCorner", 115, 215, kBlankValue},
    {"OnNonBlankCornerOfBlankCell", 110, 210, kBlankValue},
    {"WestOfGrid", 99.999, 205, kBlankValue},
    {"FarAway", 1e300, -1e300, kBlankValue},
    {"NotANumber", kNaN, 205, kBlankValue},
    {"Infinite", std::numeric_limits<double>::infinity(), 205, kBlankValue},
};

class Positions : public ::testing::TestWithParam<PositionCase> {};

TEST_P(Positions, MemoryAndDiskAnswerAlike) {
  const PositionCase& c = GetParam();
  for (const std::uint64_t memory : {kPlenty, kNone}) {
    LoadedGrid loaded(Surfer7Bytes(CornerGrid()), memory);
    ASSERT_TRUE(loaded.accepted);
    ASSERT_EQ(loaded.grid.in_memory(), memory == kPlenty);
    EXPECT_DOUBLE_EQ(loaded.grid.Interpolate(c.x, c.y), c.expected) << memory;
  }
}

INSTANTIATE_TEST_SUITE_P(Cells, Positions, ::testing::ValuesIn(kPositions),
                         [](const auto& row) { return std::string(row.param.name); });

// Grids with one column or one row, and grids without nodes, answer blank
// everywhere.
TEST(Interpolate, NoCellsNoValues) {
  for (const auto& [columns, rows] : {std::pair{1, 3}, {3, 1}, {1, 1}}) {
    TestGrid grid(columns, rows, 0, 0, 1, 1);
    LoadedGrid loaded(Surfer6Bytes(grid), kPlenty);
    ASSERT_TRUE(loaded.accepted) << columns << "x" << rows;
    for (const double x : {0.0, 0.5, 1.0}) {
      EXPECT_TRUE(IsBlank(loaded.grid.Interpolate(x, 0.5)));
      EXPECT_TRUE(IsBlank(loaded.grid.Interpolate(0.5, x)));
    }
  }
  ScriptedPlatform platform;
  const TGridImport never_loaded(platform);
  EXPECT_TRUE(IsBlank(never_loaded.Interpolate(0, 0)));
}

// Memory needed is ncols x nrows x 4 bytes; exactly that much is enough.
TEST(AllocateNodes, AtLeastTheMemoryNeeded) {
  const TestGrid grid = CornerGrid();
  const std::uint64_t needed = 3 * 3 * 4;
  LoadedGrid exact(Surfer7Bytes(grid), needed);
  EXPECT_TRUE(exact.grid.in_memory());
  EXPECT_TRUE(exact.platform.Messages().empty());

  for (const std::string& binary : {Surfer7Bytes(grid), Surfer6Bytes(grid), GeosoftBytes(grid)}) {
    LoadedGrid short_of_one(binary, needed - 1);
    EXPECT_TRUE(short_of_one.accepted);
    EXPECT_TRUE(short_of_one.grid.on_disk());
    EXPECT_EQ(short_of_one.platform.Messages(), std::vector<std::string>{kDiskMode});
    EXPECT_DOUBLE_EQ(short_of_one.grid.Interpolate(105, 205), 2);
  }
  for (const std::string& ascii : {SurferAsciiText(grid), EsriAsciiText(grid)}) {
    LoadedGrid short_of_one(ascii, needed - 1);
    EXPECT_FALSE(short_of_one.accepted);
    EXPECT_EQ(short_of_one.platform.Messages(),
              std::vector<std::string>{"info: ASCII Grid is too big to fit in memory"});
  }
}

// A 10000 x 10000 grid needs 400 000 000 bytes (the files are sparse: their
// headers and zero bytes as long as the nodes).
TEST(AllocateNodes, TenThousandSquared) {
  std::string bytes = Surfer6Bytes(TestGrid(2, 2, 0, 0, 1, 1)).substr(0, 56);
  PutInt16(bytes, 4, 10000);
  PutInt16(bytes, 6, 10000);
  PutDouble(bytes, 16, 9999);
  PutDouble(bytes, 32, 9999);
  LoadedGrid binary(bytes, 399999999, 56 + 400000000);
  EXPECT_TRUE(binary.grid.on_disk());
  EXPECT_EQ(binary.platform.Messages(), std::vector<std::string>{kDiskMode});
  const std::string header = "DSAA\n10000 10000\n0 9999\n0 9999\n0 1\n";
  LoadedGrid ascii(header, 399999999, header.size() + 200000000);
  EXPECT_FALSE(ascii.accepted);
  EXPECT_EQ(ascii.platform.Messages(),
            std::vector<std::string>{"info: ASCII Grid is too big to fit in memory"});
}

// The plainest bilinear interpolation over the nodes as the file stores
// them (narrowed to float), with the cell rules written out again.
double Reference(const TestGrid& g, double x, double y) {
  const double fc = std::floor((x - g.xmin) / g.dx);
  const double fr = std::floor((y - g.ymin) / g.dy);
  if (!(fc >= 0 && fc <= g.ncols - 2 && fr >= 0 && fr <= g.nrows - 2)) return kBlankValue;
  const int c = static_cast<int>(fc);
  const int r = static_cast<int>(fr);
  double z[2][2];
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      const double v = g.at(c + i, r + j);
      if (v >= 1e38) return kBlankValue;
      z[i][j] = static_cast<float>(v);
    }
  }
  const double x0 = c * g.dx + g.xmin, x1 = (c + 1) * g.dx + g.xmin;
  const double y0 = r * g.dy + g.ymin, y1 = (r + 1) * g.dy + g.ymin;
  const double t = (x - x0) / (x1 - x0);
  const double u = (y - y0) / (y1 - y0);
  return (1 - t) * (1 - u) * z[0][0] + t * (1 - u) * z[1][0] + t * u * z[1][1] +
         (1 - t) * u * z[0][1];
}

// Positions inside and just outside the grid, some exactly on nodes and
// on the edges.
std::vector<std::pair<double, double>> RandomPositions(std::mt19937_64& random,
                                                       const TestGrid& g, int count) {
  std::uniform_real_distribution<double> unit(-0.1, 1.1);
  std::uniform_int_distribution<int> column(0, g.ncols - 1), row(0, g.nrows - 1);
  std::vector<std::pair<double, double>> positions;
  for (int i = 0; i < count; ++i) {
    if (i % 4 == 0) {
      positions.emplace_back(g.xmin + column(random) * g.dx, g.ymin + row(random) * g.dy);
    } else {
      positions.emplace_back(g.xmin + unit(random) * (g.ncols - 1) * g.dx,
                             g.ymin + unit(random) * (g.nrows - 1) * g.dy);
    }
  }
  return positions;
}

// The rings' path: positions in batches, the corners of a file's nodes read
// with the encoding fixed for the batch.
std::vector<double> InterpolatedInBatches(const TGridImport& grid,
                                          const std::vector<std::pair<double, double>>& at) {
  std::vector<double> xs, ys, values(at.size());
  for (const auto& [x, y] : at) xs.push_back(x), ys.push_back(y);
  grid.WithNodes([&](const NodeLattice& lattice, const auto& nodes) {
    BilinearBatch batch;
    for (std::size_t first = 0; first < at.size(); first += kBilinearBatch) {
      const auto count =
          static_cast<int>(std::min<std::size_t>(kBilinearBatch, at.size() - first));
      InterpolateBatch(FastestBilinearKernels(), lattice, nodes, xs.data() + first,
                       ys.data() + first, count, batch, values.data() + first);
    }
  });
  return values;
}

struct EncodingCase {
  const char* name;
  std::string (*write)(const TestGrid&);
};

const EncodingCase kBinaryFormats[] = {
    {"Surfer7", [](const TestGrid& g) { return Surfer7Bytes(g); }},
    {"Surfer7OwnBlank", [](const TestGrid& g) { return Surfer7Bytes(g, -99999); }},
    {"Surfer6", Surfer6Bytes},
    {"GeosoftRows", [](const TestGrid& g) { return GeosoftBytes(g, {false, 0, 8}); }},
    {"GeosoftColumns", [](const TestGrid& g) { return GeosoftBytes(g, {true, 0, 8}); }},
    {"GeosoftInt32Rows", [](const TestGrid& g) { return GeosoftBytes(g, {false, 0, 8, 4, 1}); }},
    {"GeosoftFloatColumns",
     [](const TestGrid& g) { return GeosoftBytes(g, {true, 0, 1, 4, 2}); }},
};

class DiskMode : public ::testing::TestWithParam<EncodingCase> {};

// Disk mode reads the nodes through the mapping, or with pread where the
// file is not mapped; the last, larger grids reach beyond the head a file
// that is not mapped holds in memory, so that their nodes are read.
TEST_P(DiskMode, SameNumbersAsMemoryAndThePlainLoop) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> size(2, 40);
  constexpr auto kRead = MappedFile::Access::kRead;
  for (int trial = 0; trial < 22; ++trial) {
    const bool large = trial >= 20;
    const TestGrid grid = large ? RandomGrid(random, trial == 20 ? 1000 : 600,
                                             trial == 20 ? 600 : 1000, 0.1)
                                : RandomGrid(random, size(random), size(random), 0.1);
    const std::string bytes = GetParam().write(grid);
    LoadedGrid memory(bytes, kPlenty);
    LoadedGrid disk(bytes, kNone);
    LoadedGrid read_disk(bytes, kNone, 0, kRead);
    LoadedGrid read_memory(bytes, kPlenty, 0, kRead);
    ASSERT_TRUE(memory.grid.in_memory() && read_memory.grid.in_memory());
    ASSERT_TRUE(disk.grid.on_disk() && read_disk.grid.on_disk());
    if (large) {
      ASSERT_GT(bytes.size(), std::size_t{1} << 20);
    }
    const auto positions = RandomPositions(random, grid, 500);
    const std::vector<double> batched = InterpolatedInBatches(disk.grid, positions);
    const std::vector<double> read_batched = InterpolatedInBatches(read_disk.grid, positions);
    int values = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
      const auto [x, y] = positions[i];
      const double expected = Reference(grid, x, y);
      const double in_memory = memory.grid.Interpolate(x, y);
      EXPECT_EQ(in_memory, expected) << x << " " << y;
      EXPECT_EQ(disk.grid.Interpolate(x, y), in_memory) << x << " " << y;
      EXPECT_EQ(read_disk.grid.Interpolate(x, y), in_memory) << x << " " << y;
      EXPECT_EQ(read_memory.grid.Interpolate(x, y), in_memory) << x << " " << y;
      EXPECT_EQ(batched[i], in_memory) << x << " " << y;
      EXPECT_EQ(read_batched[i], in_memory) << x << " " << y;
      values += !IsBlank(expected);
    }
    EXPECT_GT(values, 100) << "most positions should have a value";
  }
}

// Nodes that are blank only after decoding (beyond the float range, no
// number, 1e38 and a double that rounds to a float of 1e38 or more) and
// nodes just inside: the batches read from the file (in lanes where the
// processor has them) judge each as the node matrix in memory does.
TEST(DiskModeBatches, NodesAtTheBlankLimits) {
  const double big = std::numeric_limits<float>::max();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double specials[] = {nan, inf, -inf, -1e39, -big, std::nextafter(-big, 0.0), 1e38,
                             std::nextafter(1e38, 0.0), 9.9999999e37, 9.99999e37, -99999,
                             kSurferBlank, 0.0, -0.0};
  TestGrid grid(6, 5, 100, 200, 10, 20);
  for (std::size_t k = 0; k < grid.values.size(); ++k) {
    grid.values[k] = k < std::size(specials) ? specials[k] : 0.5 * static_cast<double>(k);
  }
  std::vector<std::pair<double, double>> positions;
  for (int i = 0; i <= 60; ++i) {
    for (int j = 0; j <= 48; ++j) positions.emplace_back(100 + i * 0.85, 200 + j * 1.7);
  }
  for (const std::string& bytes : {Surfer7Bytes(grid), Surfer7Bytes(grid, -99999), Surfer6Bytes(grid)}) {
    LoadedGrid memory(bytes, kPlenty);
    LoadedGrid disk(bytes, kNone);
    ASSERT_TRUE(memory.grid.in_memory() && disk.grid.on_disk());
    const std::vector<double> batched = InterpolatedInBatches(disk.grid, positions);
    const std::vector<double> in_memory = InterpolatedInBatches(memory.grid, positions);
    int values = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
      const auto [x, y] = positions[i];
      const double expected = memory.grid.Interpolate(x, y);
      // Node by node from the file, as the nodes copied into memory in runs.
      EXPECT_EQ(std::bit_cast<std::uint64_t>(disk.grid.Interpolate(x, y)),
                std::bit_cast<std::uint64_t>(expected))
          << x << " " << y;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(batched[i]), std::bit_cast<std::uint64_t>(expected))
          << x << " " << y;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(in_memory[i]), std::bit_cast<std::uint64_t>(expected))
          << x << " " << y;
      values += !IsBlank(expected);
    }
    EXPECT_GT(values, 500);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, DiskMode, ::testing::ValuesIn(kBinaryFormats),
                         [](const auto& row) { return std::string(row.param.name); });

// A Surfer file cut short reads the same in both modes: the whole rows the
// file holds, and blank beyond. (A Geosoft file cut short is declined.)
TEST(DiskModeShortFile, AlikeInBothModes) {
  std::mt19937_64 random(7);
  const TestGrid grid = RandomGrid(random, 9, 7, 0.05);
  for (std::string bytes : {Surfer7Bytes(grid), Surfer6Bytes(grid)}) {
    bytes.resize(bytes.size() - 30);
    LoadedGrid memory(bytes, kPlenty);
    LoadedGrid disk(bytes, kNone);
    ASSERT_TRUE(memory.accepted && disk.accepted);
    // The seed's message, then what the header says and the file holds.
    for (const LoadedGrid* loaded : {&memory, &disk}) {
      const std::vector<std::string> messages = loaded->platform.Messages();
      ASSERT_GE(messages.size(), 2u);
      EXPECT_EQ(messages[messages.size() - 2], "message: Error: \nError by reading grid");
      EXPECT_NE(messages.back().find(": header says 9 x 7 nodes ("), std::string::npos);
    }
    for (std::uint32_t c = 0; c < 9; ++c) {
      for (std::uint32_t r = 0; r < 7; ++r) {
        EXPECT_EQ(memory.grid.Node(c, r), disk.grid.Node(c, r));
      }
    }
    std::vector<std::pair<double, double>> positions;
    for (int k = 0; k <= 80; ++k) {  // up into the row the file cuts short
      positions.emplace_back(grid.xmin + k * 0.1 * grid.dx, grid.ymin + k * 0.075 * grid.dy);
    }
    const std::vector<double> batched = InterpolatedInBatches(disk.grid, positions);
    for (std::size_t i = 0; i < positions.size(); ++i) {
      EXPECT_EQ(batched[i], memory.grid.Interpolate(positions[i].first, positions[i].second));
    }
    EXPECT_EQ(memory.grid.Node(0, 6), kBlankNode);
    EXPECT_EQ(memory.grid.Node(0, 5), NodeFromDouble(grid.at(0, 5)));
  }
}

}  // namespace
}  // namespace torvane::testing
