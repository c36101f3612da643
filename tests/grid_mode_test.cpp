// Grid mode end to end through TfrmMain: the ring sampled from a grid file,
// the grid's value at the point, grids that cannot be loaded, and disk mode
// giving the same table as memory mode.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "app/Hvw.h"
#include "grid/Gridimport.h"
#include "residual/GridRing.h"
#include "tests/GridWriters.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

constexpr const char* kOldTable = "an earlier table\r\n";

// A grid whose value is a x + b y + k over [-1000, 1000] in steps of 50.
TestGrid PlaneGrid(double a, double b, double k) {
  TestGrid grid(41, 41, -1000, -1000, 50, 50);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int c = 0; c < grid.ncols; ++c) {
      grid.at(c, r) = a * (grid.xmin + c * grid.dx) + b * (grid.ymin + r * grid.dy) + k;
    }
  }
  return grid;
}

struct GridRun {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form{platform};

  GridRun(const std::string& survey, const std::string& grid_bytes, const std::string& radius,
          const std::string& ring_points) {
    WriteFile(dir.File("survey.dat"), survey);
    WriteFile(dir.File("cba.grd"), grid_bytes);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    platform.SetText(Control::txt_grd, dir.File("cba.grd"));
    platform.SetChecked(Control::chb_grd, true);
    platform.SetText(Control::txt_rfs, radius);
    platform.SetText(Control::txt_rfa, "not used in grid mode");
    platform.SetText(Control::txt_n, ring_points);
  }
  std::string Table() const { return ReadFile(dir.File("table.dat")); }
  // The N column of a line of the table (a wide value widens its line).
  int RingCount(std::size_t line) const {
    const std::string table = Table();
    std::size_t start = 0;
    for (std::size_t i = 0; i < line; ++i) start = table.find('\n', start) + 1;
    const std::size_t end = table.find('\r', start);
    const std::size_t field = table.rfind(' ', end) + 1;
    return std::stoi(table.substr(field, end - field));
  }
};

constexpr const char* kSurvey = "X Y POINT H CBA\n0 0 1 0 10\n120.5 -33 2 0 4\n-400 250 3 0 -6\n";

// A grid of the constant 7 covering every ring, N = 4: residual C - 7; with
// the grid's value at the point as well, 0; U always the file's CBA.
TEST(GridMode, ConstantGrid) {
  for (const bool interpolated : {false, true}) {
    GridRun run(kSurvey, Surfer7Bytes(PlaneGrid(0, 0, 7)), "100", "4");
    run.platform.SetChecked(Control::chb_interpol, interpolated);
    run.form.btn_calcClick();
    ASSERT_TRUE(run.form.ResultsReady()) << ::testing::PrintToString(run.platform.Messages());
    EXPECT_TRUE(run.platform.Messages().empty());
    const double cba[] = {10, 4, -6};
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(run.form.Points().points[i].residual, interpolated ? 0 : cba[i] - 7, 1e-12);
      EXPECT_EQ(run.RingCount(i + 1), 4);
    }
    EXPECT_NE(run.Table().find("\r\n     120.5      -33.0        2.0      4.000 "),
              std::string::npos)
        << run.Table();
  }
}

// N = 1: the one sample lies R east of the point, at the point's file
// coordinates (the survey's negative coordinates are shifted inside the
// program, the grid is not).
TEST(GridMode, OneSampleLiesEast) {
  GridRun run(kSurvey, Surfer6Bytes(PlaneGrid(0.5, 2, 0)), "100", "1");
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  const double expected[] = {10 - 0.5 * 100, 4 - (0.5 * 220.5 - 66), -6 - (0.5 * -300 + 500)};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(run.form.Points().points[i].residual, expected[i], 1e-9) << i;
    EXPECT_EQ(run.RingCount(i + 1), 1);
  }
}

// A ring that leaves the grid counts only the samples inside; a point whose
// ring lies wholly outside gets 0 and N = 0; the grid's value at a point
// outside leaves the point's own CBA.
TEST(GridMode, RingsLeavingTheGrid) {
  const std::string survey = "1000 0 1 0 5\n5000 5000 2 0 3\n";
  GridRun run(survey, GeosoftBytes(PlaneGrid(0, 0, 2), {false, 0, 1}), "100", "360");
  run.platform.SetChecked(Control::chb_interpol, true);
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  // On the east edge x = 1000: the samples with cos(a) * R + x < 1000.
  const int inside = run.RingCount(1);
  EXPECT_GT(inside, 170);
  EXPECT_LT(inside, 180);
  EXPECT_NEAR(run.form.Points().points[0].residual, 5 - 2, 1e-12) << "outside: own CBA";
  EXPECT_EQ(run.RingCount(2), 0);
  EXPECT_EQ(run.form.Points().points[1].residual, 0);
}

// The same grid written by GDAL as Surfer 7, GeoTIFF and netCDF gives the
// same table: GDAL's rasters are read through GDAL, their pixel centres as
// nodes and their nodata as blank (one of the cells is missing).
TEST(GridMode, GdalRastersGiveTheSurferTable) {
  const std::string data = SourceDir() + "/tests/data/";
  const std::string survey =
      "X Y POINT H CBA\n1100 2100 1 0 10\n1180.5 2120 2 0 4\n1260 2160 3 0 -6\n1030 2030 4 0 1\n";
  std::string surfer_table;
  for (const char* name : {"gdal_gs7bg.grd", "gdal_gtiff.tif", "gdal_netcdf.nc"}) {
    GridRun run(survey, ReadFile(data + name), "60", "36");
    run.platform.SetChecked(Control::chb_interpol, true);
    run.form.btn_calcClick();
    ASSERT_TRUE(run.form.ResultsReady()) << name << ::testing::PrintToString(run.platform.Messages());
    EXPECT_TRUE(run.platform.Messages().empty()) << name;
    if (surfer_table.empty()) {
      surfer_table = run.Table();
      EXPECT_GT(run.RingCount(1), 0);
      EXPECT_LT(run.RingCount(3), 36) << "a ring that meets the missing cell";
    } else {
      EXPECT_EQ(run.Table(), surfer_table) << name;
    }
  }
}

// The ring against the formula written out: the same sample positions, so
// the same sum and count, bit for bit, on a grid with blank nodes.
TEST(GridRing, SamplesAreTheFormulasPositions) {
  std::mt19937_64 random(99);
  const TestGrid grid = RandomGrid(random, 30, 25, 0.05);
  TempDir dir;
  WriteFile(dir.File("g.grd"), Surfer7Bytes(grid));
  ScriptedPlatform platform;
  TGridImport loaded(platform);
  ASSERT_TRUE(loaded.Load(dir.File("g.grd")));
  std::uniform_real_distribution<double> across(0, 1);
  for (const std::int32_t n : {1, 7, 360, 1000}) {
    const double radius = 3 + 20 * across(random);
    const GridRing ring(loaded, radius, n, false);
    for (int point = 0; point < 20; ++point) {
      const double xf = grid.xmin + across(random) * 29 * grid.dx;
      const double yf = grid.ymin + across(random) * 24 * grid.dy;
      double sum = 0;
      int count = 0;
      for (std::int32_t k = 0; k < n; ++k) {
        const double a = k * (360.0 / n) * 3.141592653589793 / 180;
        const double v = loaded.Interpolate(std::cos(a) * radius + xf, std::sin(a) * radius + yf);
        if (v < 1e38) {
          sum += v;
          ++count;
        }
      }
      const RingValues values = ring.Gather(xf, yf);
      EXPECT_EQ(values.sum, sum);
      EXPECT_EQ(values.n, count);
    }
  }
  // Directions beyond those worked out once are worked out alike.
  const std::int32_t many = (1 << 20) + 3;
  const GridRing big(loaded, 10, many, false);
  for (const std::int32_t k : {0, 1, (1 << 20) - 1, 1 << 20, many - 1}) {
    double px = 0, py = 0;
    big.SamplePosition(k, 1.5, -2.5, px, py);
    const double a = k * (360.0 / many) * 3.141592653589793 / 180;
    EXPECT_EQ(px, std::cos(a) * 10 + 1.5) << k;
    EXPECT_EQ(py, std::sin(a) * 10 + -2.5) << k;
  }
}

// A grid too big for the memory is read from its file: the same table.
TEST(GridMode, DiskModeWritesTheSameTable) {
  std::mt19937_64 random(5);
  std::string survey;
  std::uniform_real_distribution<double> across(-1100, 1100);
  for (int i = 1; i <= 200; ++i) {
    char line[100];
    std::snprintf(line, sizeof line, "%.3f %.3f %d 0 %.3f\n", across(random), across(random), i,
                  across(random) / 100);
    survey += line;
  }
  TestGrid grid = PlaneGrid(0.01, -0.02, 3);
  for (int i = 0; i < 40; ++i) grid.values[static_cast<std::size_t>(i * 37)] = kSurferBlank;
  for (const auto& bytes : {Surfer7Bytes(grid), Surfer6Bytes(grid), GeosoftBytes(grid, {true, 0, 100})}) {
    GridRun memory(survey, bytes, "150", "90");
    memory.platform.SetChecked(Control::chb_interpol, true);
    memory.form.btn_calcClick();
    GridRun disk(survey, bytes, "150", "90");
    disk.platform.SetChecked(Control::chb_interpol, true);
    disk.form.Request().ring.grid_memory_limit = 0;
    disk.form.btn_calcClick();
    ASSERT_TRUE(memory.form.ResultsReady());
    ASSERT_TRUE(disk.form.ResultsReady());
    EXPECT_EQ(disk.platform.Messages(),
              std::vector<std::string>{
                  "info: Grid is too big to fit in memory - data will be read from HDD"});
    EXPECT_EQ(disk.Table(), memory.Table());
    EXPECT_NE(memory.Table().find("         90\r\n"), std::string::npos);
  }
}

// Grids that cannot be loaded end the run before the first point: the
// user is told, no table is written and an earlier one stays.
struct UnloadableCase {
  const char* name;
  std::string grid;  // written as cba.grd unless empty
  bool ascii_too_big;
  std::vector<std::string> messages;  // $GRID is the grid's path
};

const UnloadableCase kUnloadable[] = {
    {"MissingFile", "", false,
     {"message: Error: Error by opening file $GRID\n", "message: Error: Error by opening file $GRID\n",
      "message: Error: Error by opening file $GRID\n", "message: Error: Error by opening file $GRID\n",
      "info: Error by opening file $GRID"}},
    {"UnknownFormat", "X Y Z\n1 2 3\n", false, {"message: Error: Unknown grid file format: $GRID"}},
    {"AsciiTooBig", "DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4 5 6\n", true,
     {"info: ASCII Grid is too big to fit in memory"}},
    {"GeosoftCutShort", GeosoftBytes(PlaneGrid(0, 0, 1)).substr(0, 900), false,
     {"message: Error: \nError by reading grid $GRID"}},
};

class UnloadableGrid : public ::testing::TestWithParam<UnloadableCase> {};

TEST_P(UnloadableGrid, NoTableWritten) {
  const UnloadableCase& c = GetParam();
  GridRun run(kSurvey, c.grid, "100", "360");
  if (c.grid.empty()) std::filesystem::remove(run.dir.File("cba.grd"));
  if (c.ascii_too_big) run.form.Request().ring.grid_memory_limit = 23;
  WriteFile(run.dir.File("table.dat"), kOldTable);
  const auto before = run.dir.Entries();
  run.form.btn_calcClick();

  std::vector<std::string> expected;
  for (std::string message : c.messages) {
    if (const auto at = message.find("$GRID"); at != std::string::npos) {
      message.replace(at, 5, run.dir.File("cba.grd"));
    }
    expected.push_back(message);
  }
  EXPECT_EQ(run.platform.Messages(), expected);
  EXPECT_FALSE(run.form.ResultsReady());
  EXPECT_EQ(run.platform.CountOf("progress: 1"), 0) << "no point may be computed";
  EXPECT_EQ(run.dir.Entries(), before) << "no table and no temporary file may be left";
  EXPECT_EQ(run.Table(), kOldTable);
  EXPECT_TRUE(run.platform.Enabled(Control::btn_calc));
  EXPECT_TRUE(run.platform.Visible(Control::btn_exit));
}

INSTANTIATE_TEST_SUITE_P(Grids, UnloadableGrid, ::testing::ValuesIn(kUnloadable),
                         [](const auto& row) { return std::string(row.param.name); });

// A number of points that is no whole number of at least 1 is refused at
// Calc, before anything is opened; point mode does not look at it.
TEST(GridMode, RingPointsCheckedOnlyInGridMode) {
  GridRun refused(kSurvey, Surfer7Bytes(PlaneGrid(0, 0, 7)), "100", "0");
  refused.form.btn_calcClick();
  EXPECT_EQ(refused.platform.Messages(),
            std::vector<std::string>{"info: Number of points must be a whole number greater than 0"});
  EXPECT_EQ(refused.platform.focus(), Control::txt_n);
  EXPECT_EQ(refused.platform.CountOf("events"), 0);
  EXPECT_FALSE(std::filesystem::exists(refused.dir.File("table.dat")));

  GridRun point_mode(kSurvey, "", "100", "none");
  point_mode.platform.SetChecked(Control::chb_grd, false);
  point_mode.platform.SetText(Control::txt_rfa, "10");
  point_mode.form.btn_calcClick();
  EXPECT_TRUE(point_mode.form.ResultsReady());
  EXPECT_FALSE(point_mode.form.Request().ring.use_grid);
}

}  // namespace
}  // namespace torvane::testing
