// The ring quality columns (GAP, SECTORS, SD), blanking and the CSV table:
// against a plain loop over all pairs on random surveys, on rows worked out
// by hand, and read back by Python's csv module.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "app/Hvw.h"
#include "preview/PreviewNodes.h"
#include "residual/PointRing.h"
#include "tests/GridWriters.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

struct QualityRun {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form{platform};
  std::string output;

  QualityRun(const std::string& survey, const std::string& radius, const std::string& band,
             const std::string& output_name, RingBlanking blanking = {}) {
    WriteFile(dir.File("survey.dat"), survey);
    output = dir.File(output_name);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, output);
    platform.SetText(Control::txt_rfs, radius);
    platform.SetText(Control::txt_rfa, band);
    form.Request().ring.quality = true;
    form.Request().ring.blanking = blanking;
  }
  std::vector<std::string> Run() {
    form.btn_calcClick();
    EXPECT_TRUE(form.ResultsReady()) << ::testing::PrintToString(platform.Messages());
    return CrlfLines(ReadFile(output));
  }
};

// --- The gap without sorting, against the sorted directions -------------

// The gap as the definition reads: the directions' azimuths sorted, the
// largest difference of neighbours, going round.
double SortedGap(double x, double y, const std::vector<double>& xs, const std::vector<double>& ys) {
  std::vector<double> diamonds;
  for (std::size_t k = 0; k < xs.size(); ++k) {
    if (xs[k] != x || ys[k] != y) diamonds.push_back(DiamondAngle(xs[k] - x, ys[k] - y));
  }
  if (diamonds.size() <= 1) return kFullCircle;
  std::sort(diamonds.begin(), diamonds.end());
  double gap = kFullCircle - (DiamondDegrees(diamonds.back()) - DiamondDegrees(diamonds.front()));
  for (std::size_t k = 1; k < diamonds.size(); ++k) {
    gap = std::max(gap, DiamondDegrees(diamonds[k]) - DiamondDegrees(diamonds[k - 1]));
  }
  return gap;
}

// Rings with exact ties, members on the axes and diagonals, directions at
// 0 and just short of 360 degrees, rings bunched in a narrow arc, and
// rings of 0, 1 and 2 directions: the same double as the sorted list.
TEST(GapWithoutSorting, SameNumberAsTheSortedDirections) {
  std::mt19937_64 random(25);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<std::vector<std::pair<double, double>>> rings = {
      {},
      {{0, 0}},
      {{5, 0}},
      {{5, 0}, {0, 0}, {-5, 0}},
      {{5, 0}, {10, 0}},                                   // two, one direction
      {{5, 0}, {5, -1e-300}, {0, 5}},                      // 0 and (by rounding) 360
      {{1, 0}, {1, -1e-17}, {1, 1e-17}, {-1, 0}},          // round the ends
      {{0, 5}, {0, -5}, {5, 0}, {-5, 0}, {3, 3}, {-3, -3}, {3, 3}, {0, 5}},
  };
  // Lattice rings: members on the axes and diagonals, several in one
  // direction, the centre in the ring.
  for (const int reach : {1, 2, 3, 5, 8}) {
    std::vector<std::pair<double, double>> lattice;
    for (int i = -reach; i <= reach; ++i) {
      for (int j = -reach; j <= reach; ++j) {
        if (i * i + j * j <= reach * reach && (i + j) % 3 != 1) lattice.emplace_back(10.0 * i, 10.0 * j);
      }
    }
    rings.push_back(lattice);
  }
  for (const std::size_t count : {2, 3, 4, 7, 16, 63, 64, 65, 126, 300, 1000}) {
    for (const double arc : {6.283185307179586, 1.0, 1e-3, 1e-9}) {
      std::vector<std::pair<double, double>> ring;
      const double start = unit(random) * 6.283185307179586;
      for (std::size_t k = 0; k < count; ++k) {
        const double a = start + arc * unit(random);
        // Whole numbers of centimetres: exact ties in direction now and then.
        ring.emplace_back(std::round(std::cos(a) * 1e5) / 100, std::round(std::sin(a) * 1e5) / 100);
      }
      if (count > 3) ring[1] = ring[0];  // a tie
      rings.push_back(ring);
    }
  }
  for (const auto& ring : rings) {
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{1e6 + 0.25, -3e6}}) {
      std::vector<double> xs, ys, values;
      std::vector<std::uint32_t> indices;
      for (const auto& [dx, dy] : ring) {
        indices.push_back(static_cast<std::uint32_t>(xs.size()));
        xs.push_back(dx + x);
        ys.push_back(dy + y);
        values.push_back(dx * 0.5 - dy);
      }
      PointRingView view;
      view.x = x;
      view.y = y;
      view.xs = xs.data();
      view.ys = ys.data();
      view.values = values.data();
      view.ring = indices;
      RingMembers scratch;
      const RingQuality quality = PointRingQuality(view, scratch, {});
      EXPECT_EQ(quality.gap, SortedGap(x, y, xs, ys)) << ring.size() << " members round " << x;
      // The scratch is left ready for the next ring: the same answer again.
      EXPECT_EQ(PointRingQuality(view, scratch, {}).gap, quality.gap);
    }
  }
}

// --- Against the plain loop over all pairs ------------------------------

struct Expected {
  int n = 0;
  double gap = 360;
  int sectors = 0;
  double sd = 0;
};

Expected PlainQuality(const PointSet& set, std::size_t i, double radius, double band) {
  const double lower = radius - band - kRingTolerance;
  const double upper = radius + band + kRingTolerance;
  const SurveyPoint& p = set.points[i];
  std::vector<double> values, azimuths;
  for (const SurveyPoint& q : set.points) {
    const double d = std::hypot(q.x - p.x, q.y - p.y);
    if (!(lower <= d && d <= upper)) continue;
    values.push_back(q.cba);
    if (q.x == p.x && q.y == p.y) continue;
    double a = std::atan2(q.y - p.y, q.x - p.x) * 180 / M_PI;
    if (a < 0) a += 360;
    azimuths.push_back(a);
  }
  Expected e;
  e.n = static_cast<int>(values.size());
  bool sector[8] = {};
  for (const double a : azimuths) sector[std::min(7, static_cast<int>(a / 45))] = true;
  e.sectors = static_cast<int>(std::count(std::begin(sector), std::end(sector), true));
  if (azimuths.size() > 1) {
    std::sort(azimuths.begin(), azimuths.end());
    e.gap = 360 - (azimuths.back() - azimuths.front());
    for (std::size_t k = 1; k < azimuths.size(); ++k) {
      e.gap = std::max(e.gap, azimuths[k] - azimuths[k - 1]);
    }
  }
  if (values.size() > 1) {
    double mean = 0;
    for (const double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    double squares = 0;
    for (const double v : values) squares += (v - mean) * (v - mean);
    e.sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
  }
  return e;
}

std::string RandomSurvey(std::mt19937_64& random, int count, double extent) {
  std::uniform_real_distribution<double> position(-0.2 * extent, 0.8 * extent);
  std::uniform_real_distribution<double> value(-60, 20);
  std::string text = "X Y POINT H CBA\n";
  char line[160];
  for (int i = 0; i < count; ++i) {
    double x = position(random);
    double y = position(random);
    // Some stations on a road along X, some on a lattice, a few doubled.
    if (i % 5 == 0) y = 0.3 * extent;
    if (i % 7 == 0) x = std::round(x / 50) * 50, y = std::round(y / 50) * 50;
    std::snprintf(line, sizeof line, "%.17g %.17g %d 0 %.17g\n", x, y, i + 1, value(random));
    text += line;
    if (i % 29 == 0) {
      std::snprintf(line, sizeof line, "%.17g %.17g %d 0 %.17g\n", x, y, -i, value(random));
      text += line;
    }
  }
  return text;
}

struct RandomCase {
  const char* name;
  int count;
  double extent;
  const char* radius;
  const char* band;
};

const RandomCase kRandomCases[] = {
    {"NarrowBand", 1200, 4000, "300", "40"},
    {"WideBand", 800, 2000, "200", "200"},
    {"SparseRings", 600, 6000, "250", "10"},
};

class QualityAgainstPlainLoop : public ::testing::TestWithParam<RandomCase> {};

TEST_P(QualityAgainstPlainLoop, EveryPointsColumns) {
  const RandomCase& c = GetParam();
  std::mt19937_64 random(2026);
  const std::string survey = RandomSurvey(random, c.count, c.extent);
  QualityRun run(survey, c.radius, c.band, "table.csv");
  const std::vector<std::string> lines = run.Run();
  const PointSet& set = run.form.Points();
  ASSERT_EQ(lines.size(), set.points.size() + 1);
  EXPECT_EQ(lines[0], "x,y,point,cba,residual,n,gap,sectors,sd");
  int one_sided = 0;
  for (std::size_t i = 0; i < set.points.size(); ++i) {
    const std::vector<std::string> f = Split(lines[i + 1], ',');
    ASSERT_EQ(f.size(), 9u) << lines[i + 1];
    const Expected e = PlainQuality(set, i, std::stod(c.radius), std::stod(c.band));
    ASSERT_EQ(std::stoi(f[5]), e.n) << "point " << i;
    EXPECT_EQ(std::stoi(f[7]), e.sectors) << "point " << i;
    EXPECT_NEAR(std::stod(f[6]), e.gap, 1e-9) << "point " << i;
    EXPECT_NEAR(std::stod(f[8]), e.sd, 1e-9 * (1 + e.sd)) << "point " << i;
    EXPECT_EQ(std::stod(f[4]), set.points[i].residual);
    one_sided += e.n > 0 && e.gap > 180;
  }
  EXPECT_GT(one_sided, 0) << "the survey's edges should give one-sided rings";
}

INSTANTIATE_TEST_SUITE_P(Surveys, QualityAgainstPlainLoop, ::testing::ValuesIn(kRandomCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The sweep asks only whether the gap passes 180 degrees, and settles most
// rings by the quadrants their points fill while it sums them. On stations
// that sit on a lattice whose spacing divides both ring limits (candidates
// exactly on a limit), on the axes through each other and doubled, that
// answer and the ring's N and sum must be those of the exact path.
TEST(HalfCircleTest, AgreesWithTheExactGap) {
  std::mt19937_64 random(77);
  std::uniform_real_distribution<double> position(0, 3000);
  std::uniform_int_distribution<int> milligals(-60000, 20000);
  PointSet set;
  for (int i = 0; i < 1500; ++i) {
    double x = position(random), y = position(random);
    if (i % 3 == 0) x = std::round(x / 50) * 50, y = std::round(y / 50) * 50;
    if (i % 11 == 0) y = 1500;
    const double cba = milligals(random) / 1000.0;  // three decimals, as surveys give
    set.points.push_back({x, y, double(i), 0, cba, 0});
    if (i % 23 == 0) set.points.push_back({x, y, double(-i), 0, cba + 1, 0});
  }
  set.min_x = set.min_y = 0;
  set.max_x = set.max_y = 3000;
  int settled_by_quadrants = 0, one_sided = 0;
  for (const auto& [radius, band] : {std::pair{300.0, 50.0}, {200.0, 200.0}, {450.0, 5.0}}) {
    PointRing ring(set, radius, band);
    ExactSum sum;
    RingMembers members;
    for (const SurveyPoint& p : set.points) {
      RingQuality exact, half;
      const RingValues a = ring.GatherWithQuality(p.x, p.y, sum, members, {}, exact);
      const RingValues b = ring.GatherWithQuality(p.x, p.y, sum, members, {false, false}, half);
      ASSERT_EQ(a.n, b.n);
      ASSERT_EQ(a.sum, b.sum);
      ASSERT_EQ(exact.gap > 180, half.gap > 180) << p.x << " " << p.y << " R " << radius;
      settled_by_quadrants += half.gap == 180 && half.sectors == 0;
      one_sided += exact.gap > 180;
    }
  }
  EXPECT_GT(settled_by_quadrants, 1000);
  EXPECT_GT(one_sided, 100);
}

// --- Rows worked out by hand ---------------------------------------------

// P (label 1) at (1000, 1000) with CBA 10, and its ring points R = 100 away.
constexpr const char* kOneSide =  // east, north-east, north: values 1, 2, 3
    "1000 1000 1 0 10\n1100 1000 2 0 1\n1070.5 1070.5 3 0 2\n1000 1100 4 0 3\n";
constexpr const char* kFourWays =  // east, north, west, south: values 2, 4, 6, 8
    "1000 1000 1 0 10\n1100 1000 2 0 2\n1000 1100 3 0 4\n900 1000 4 0 6\n1000 900 5 0 8\n";

struct HandRow {
  const char* name;
  const char* survey;
  const char* band;
  const char* line;  // P's line
};

const HandRow kHandRows[] = {
    // Azimuths 0, 45, 90: the gap runs from 90 round to 360. Mean 2, SD 1.
    {"OneSideOnly", kOneSide, "10",
     "    1000.0     1000.0        1.0     10.000   8.000000          3      270.0          3   "
     "1.000000"},
    // Mean 5; squares 9 + 1 + 1 + 9 = 20 over 3.
    {"FourWays", kFourWays, "10",
     "    1000.0     1000.0        1.0     10.000   5.000000          4       90.0          4   "
     "2.581989"},
    // D = R: P itself and a second station on its spot (CBA 4) count in N
    // and SD but have no direction; the one point east leaves GAP 360.
    // Values 10, 4, 1: mean 5, squares 25 + 1 + 16 = 42 over 2.
    {"StationOnThePoint", "1000 1000 1 0 10\n1000 1000 2 0 4\n1050 1000 3 0 1\n", "100",
     "    1000.0     1000.0        1.0     10.000   5.000000          3      360.0          1   "
     "4.582576"},
};

class HandCheckedRows : public ::testing::TestWithParam<HandRow> {};

TEST_P(HandCheckedRows, PointsLine) {
  const HandRow& c = GetParam();
  QualityRun run(c.survey, "100", c.band, "table.dat");
  const std::vector<std::string> lines = run.Run();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "         X          Y      POINT          U    TORVANE          N        GAP    "
            "SECTORS         SD");
  EXPECT_EQ(lines[1], c.line);
}

INSTANTIATE_TEST_SUITE_P(Rings, HandCheckedRows, ::testing::ValuesIn(kHandRows),
                         [](const auto& row) { return std::string(row.param.name); });

// Grid mode: a point 10 m inside the east edge of a grid of the plane
// v = x, ring of 100 m and 8 samples. Samples 2 to 6 (90 to 270 degrees)
// lie on the grid, 7, 0 and 1 beyond its edge: N 5, sectors 2 to 6, and the
// widest gap from 270 round to 90 degrees.
TEST(GridQuality, RingPartlyOffTheGrid) {
  TestGrid grid(41, 41, -1000, -1000, 50, 50);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int col = 0; col < grid.ncols; ++col) grid.at(col, r) = grid.xmin + col * grid.dx;
  }
  QualityRun run("990 0 1 0 5\n", "100", "0", "table.dat");
  WriteFile(run.dir.File("cba.grd"), Surfer7Bytes(grid));
  run.platform.SetChecked(Control::chb_grd, true);
  run.platform.SetText(Control::txt_grd, run.dir.File("cba.grd"));
  run.platform.SetText(Control::txt_n, "8");
  const std::vector<std::string> lines = run.Run();
  ASSERT_EQ(lines.size(), 2u);
  std::vector<double> values;
  for (int k = 2; k <= 6; ++k) values.push_back(990 + 100 * std::cos(k * 45 * M_PI / 180));
  double mean = 0;
  for (const double v : values) mean += v / 5;
  double squares = 0;
  for (const double v : values) squares += (v - mean) * (v - mean);
  char expected[64];
  std::snprintf(expected, sizeof expected, " %10d %10.1f %10d %10.6f", 5, 180.0, 5,
                std::sqrt(squares / 4));
  EXPECT_TRUE(lines[1].ends_with(expected)) << lines[1] << "\n" << expected;
}

// The maps' GAP after a run without --quality: the same quality a quality
// run gives, in point mode and in grid mode (the grid read again), with the
// run's table and residuals left exactly as they were.
TEST(QualityAfterTheRun, SameAsAQualityRunTableUntouched) {
  std::mt19937_64 random(7);
  const std::string survey = RandomSurvey(random, 500, 3000);
  TestGrid grid(61, 61, -1000, -1000, 50, 50);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int col = 0; col < grid.ncols; ++col) grid.at(col, r) = std::sin(col * 0.3) * r;
  }
  for (const bool grid_mode : {false, true}) {
    SCOPED_TRACE(grid_mode ? "grid mode" : "point mode");
    std::vector<RingQuality> asked;
    std::string plain_table;
    std::vector<double> plain_residuals;
    for (const bool quality : {true, false}) {
      QualityRun run(survey, "200", "30", "table.dat", {3, 360});
      if (grid_mode) {
        WriteFile(run.dir.File("cba.grd"), Surfer7Bytes(grid));
        run.platform.SetChecked(Control::chb_grd, true);
        run.platform.SetText(Control::txt_grd, run.dir.File("cba.grd"));
        run.platform.SetText(Control::txt_n, "16");
      }
      run.form.Request().ring.quality = quality;
      run.Run();
      if (quality) {
        asked = run.form.RingQualities();
        continue;
      }
      ASSERT_TRUE(run.form.RingQualities().empty());
      plain_table = ReadFile(run.output);
      for (const SurveyPoint& p : run.form.Points().points) plain_residuals.push_back(p.residual);
      ASSERT_TRUE(run.form.EnsureRingQualities());
      EXPECT_EQ(ReadFile(run.output), plain_table);
      for (std::size_t i = 0; i < plain_residuals.size(); ++i) {
        const double now = run.form.Points().points[i].residual;
        EXPECT_TRUE(now == plain_residuals[i] || (std::isnan(now) && std::isnan(plain_residuals[i])));
      }
      const std::vector<RingQuality>& gathered = run.form.RingQualities();
      ASSERT_EQ(gathered.size(), asked.size());
      int one_sided = 0;
      for (std::size_t i = 0; i < asked.size(); ++i) {
        EXPECT_EQ(gathered[i].gap, asked[i].gap) << "point " << i;
        EXPECT_EQ(gathered[i].sectors, asked[i].sectors) << "point " << i;
        EXPECT_EQ(gathered[i].sd, asked[i].sd) << "point " << i;
        one_sided += asked[i].gap > 180 && asked[i].gap < 360;
      }
      EXPECT_GT(one_sided, 0);
    }
  }
}

// --- Blanking -----------------------------------------------------------

struct BlankCase {
  const char* name;
  const char* survey;
  RingBlanking blanking;
  bool blank;
};

const BlankCase kBlankCases[] = {
    {"FewerThanK", kOneSide, {4, 360}, true},
    {"KReached", kFourWays, {4, 360}, false},
    {"GapTooWide", kOneSide, {0, 200}, true},
    {"GapNarrowEnough", kFourWays, {0, 90}, false},
    {"GapJustOver", kFourWays, {0, 89.9}, true},
};

class Blanking : public ::testing::TestWithParam<BlankCase> {};

TEST_P(Blanking, FixedAndCsv) {
  const BlankCase& c = GetParam();
  for (const char* name : {"table.dat", "table.csv"}) {
    QualityRun run(c.survey, "100", "10", name, c.blanking);
    run.form.Request().ring.quality = false;
    const std::vector<std::string> lines = run.Run();
    ASSERT_GE(lines.size(), 2u);
    const bool csv = std::string(name).ends_with(".csv");
    const std::vector<std::string> f = Split(lines[1], csv ? ',' : ' ');
    const std::string residual = csv ? f.at(4) : lines[1].substr(44, 10);
    EXPECT_EQ(residual == (csv ? "" : "       NaN"), c.blank) << lines[1];
    EXPECT_EQ(std::isnan(run.form.Points().points[0].residual), c.blank);
    EXPECT_EQ(lines[0].find("GAP"), std::string::npos) << "no quality columns unless asked";
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, Blanking, ::testing::ValuesIn(kBlankCases),
                         [](const auto& row) { return std::string(row.param.name); });

// A point without a residual is left out of the residual preview: the node
// on it takes the inverse-distance mean of the two others, instead of going
// blank.
TEST(Blanking, LeftOutOfTheResidualPreview) {
  ScriptedPlatform platform;
  PointSet set;
  const double nan = std::nan("");
  set.points = {{0, 0, 1, 0, 5, nan}, {30, 0, 2, 0, 5, 2}, {0, 40, 3, 0, 5, 4}};
  set.min_x = set.min_y = 0;
  set.max_x = 30;
  set.max_y = 40;
  NeighbourCluster cluster;
  ASSERT_TRUE(BuildNeighbourCluster(platform, set, 100, cluster));
  const PreviewNodes nodes(set, cluster, &SurveyPoint::residual, 100, 100, 1);
  const double d1 = std::hypot(-30 + 0.001, 0.001);
  const double d2 = std::hypot(0.001, -40 + 0.001);
  EXPECT_NEAR(nodes.Node(0, 0), (2 / d1 + 4 / d2) / (1 / d1 + 1 / d2), 1e-5);
}

// --- torvane-cli, its CSV table read by Python --------------------------

// The system's interpreter, with Debian's python3-numpy beside it.
constexpr const char* kPython = "/usr/bin/python3";

constexpr const char* kCompareTables = R"(
import csv, sys
fixed = open(sys.argv[1], newline='').read().split('\r\n')
raw = open(sys.argv[2], 'rb').read()
assert b'\r' not in raw, 'CSV lines end with LF alone'
rows = list(csv.DictReader(open(sys.argv[2], newline='')))
assert len(fixed) == len(rows) + 2 and fixed[-1] == '', (len(fixed), len(rows))
blank = 0
for line, row in zip(fixed[1:], rows):
    f = line.split()
    residual = 'NaN' if row['residual'] == '' else '%.6f' % float(row['residual'])
    blank += row['residual'] == ''
    mine = ['%.1f' % float(row['x']), '%.1f' % float(row['y']), '%.1f' % float(row['point']),
            '%.3f' % float(row['cba']), residual, row['n'], '%.1f' % float(row['gap']),
            row['sectors'], '%.6f' % float(row['sd'])]
    assert f == mine, (f, mine)
print(len(rows), blank)
)";

TEST(CsvTable, PythonReadsTheFixedTablesNumbers) {
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  for (const char* name : {"t.dat", "t.csv"}) {
    const CliResult run = RunCli(dir, {"--quiet", "--input", sample, "--output", dir.File(name),
                                       "--radius", "500", "--band", "100", "--quality",
                                       "--max-gap", "200"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
  }
  WriteFile(dir.File("compare.py"), kCompareTables);
  const ProgramResult python =
      RunProgram(dir, kPython, {dir.File("compare.py"), dir.File("t.dat"), dir.File("t.csv")});
  ASSERT_EQ(python.exit_code, 0) << python.err;
  int rows = 0, blank = 0;
  ASSERT_EQ(std::sscanf(python.out.c_str(), "%d %d", &rows, &blank), 2) << python.out;
  EXPECT_GT(rows, 1000);
  EXPECT_GT(blank, 0) << "the survey's edges should have blanked points";
  EXPECT_LT(blank, rows / 2);
}

struct UsageCase {
  const char* name;
  std::vector<std::string> flags;
};

const UsageCase kUsageCases[] = {
    {"NegativeK", {"--min-ring-points", "-1"}},
    {"KNotAWholeNumber", {"--min-ring-points", "2.5"}},
    {"GapOverAFullCircle", {"--max-gap", "400"}},
    {"GapNotANumber", {"--max-gap", "wide"}},
};

class QualityUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(QualityUsage, RefusedBeforeRunning) {
  TempDir dir;
  std::vector<std::string> args = {"--input", SourceDir() + "/data/sample_survey.dat",
                                    "--output", dir.File("t.dat"), "--radius", "500"};
  args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
  const CliResult run = RunCli(dir, args);
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_NE(run.err.find(GetParam().flags[0]), std::string::npos) << run.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Flags, QualityUsage, ::testing::ValuesIn(kUsageCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
