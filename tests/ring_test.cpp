// The ring found through the cell index against the plain loop over all
// points, on random surveys: the same ring counts and the same residuals,
// bit for bit, whatever the order of the points in the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "app/Hvw.h"
#include "residual/ExactSum.h"
#include "residual/FixedPointSum.h"
#include "residual/PointRing.h"
#include "residual/RingIndex.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

struct Station {
  double x, y, cba;
};

// The plain definition: every point whose distance lies in the band.
void BruteForce(const PointSet& set, double radius, double band, std::vector<double>& residual,
                std::vector<int>& n) {
  const double lower = radius - band - kRingTolerance;
  const double upper = radius + band + kRingTolerance;
  residual.assign(set.points.size(), 0);
  n.assign(set.points.size(), 0);
  ExactSum sum;
  for (std::size_t i = 0; i < set.points.size(); ++i) {
    sum.Reset();
    for (const SurveyPoint& other : set.points) {
      const double d = std::hypot(other.x - set.points[i].x, other.y - set.points[i].y);
      if (lower <= d && d <= upper) {
        sum.Add(other.cba);
        ++n[i];
      }
    }
    if (n[i] > 0) residual[i] = set.points[i].cba - sum.Result() / n[i];
  }
}

std::string SurveyText(const std::vector<Station>& stations) {
  std::string text = "X Y POINT H CBA\n";
  char line[160];
  for (std::size_t i = 0; i < stations.size(); ++i) {
    std::snprintf(line, sizeof line, "%.17g %.17g %zu 0 %.17g\n", stations[i].x, stations[i].y,
                  i + 1, stations[i].cba);
    text += line;
  }
  return text;
}

// Stations on a lattice (so that many lie exactly R apart), scattered ones,
// and a few sharing one spot; some coordinates negative.
std::vector<Station> RandomSurvey(std::mt19937_64& random, int count, double extent,
                                  double lattice) {
  std::uniform_real_distribution<double> position(-0.3 * extent, 0.7 * extent);
  std::uniform_real_distribution<double> value(-150, 50);
  std::uniform_int_distribution<int> cell(0, static_cast<int>(extent / lattice));
  std::vector<Station> stations;
  for (int i = 0; i < count; ++i) {
    Station s{position(random), position(random), value(random)};
    if (i % 3 == 0) {
      s.x = cell(random) * lattice - 0.3 * extent;
      s.y = cell(random) * lattice - 0.3 * extent;
    }
    if (i % 17 == 0 && i > 0) s = {stations[0].x, stations[0].y, value(random)};
    stations.push_back(s);
  }
  return stations;
}

struct RingCase {
  const char* name;
  int count;
  double extent, lattice, radius, band;
};

const RingCase kRingCases[] = {
    {"ZeroBandOnALattice", 1500, 600, 25, 100, 0},
    {"NarrowBand", 1500, 3000, 10, 150, 20},
    {"BandEqualToRadius", 800, 1000, 20, 80, 80},
    {"RadiusBeyondTheSurvey", 300, 500, 50, 2000, 1500},
    {"SmallRadiusManyCells", 2000, 5000, 5, 15, 7.5},
};

class RingAgainstPlainLoop : public ::testing::TestWithParam<RingCase> {};

TEST_P(RingAgainstPlainLoop, SameCountsAndResidualsInAnyOrder) {
  const RingCase& c = GetParam();
  std::mt19937_64 random(12345);
  std::vector<Station> stations = RandomSurvey(random, c.count, c.extent, c.lattice);

  std::vector<std::vector<double>> residual_by_station(2);
  for (int order = 0; order < 2; ++order) {
    // The second pass reads the same stations in another order.
    std::vector<std::size_t> permutation(stations.size());
    for (std::size_t i = 0; i < permutation.size(); ++i) permutation[i] = i;
    if (order == 1) std::shuffle(permutation.begin(), permutation.end(), random);
    std::vector<Station> ordered;
    for (const std::size_t i : permutation) ordered.push_back(stations[i]);

    TempDir dir;
    WriteFile(dir.File("survey.dat"), SurveyText(ordered));
    ScriptedPlatform platform;
    TfrmMain form(platform);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", c.radius);
    platform.SetText(Control::txt_rfs, number);
    std::snprintf(number, sizeof number, "%.17g", c.band);
    platform.SetText(Control::txt_rfa, number);
    form.btn_calcClick();
    ASSERT_TRUE(form.ResultsReady()) << ::testing::PrintToString(platform.Messages());

    std::vector<double> expected;
    std::vector<int> expected_n;
    BruteForce(form.Points(), c.radius, c.band, expected, expected_n);
    const std::string table = ReadFile(dir.File("table.dat"));
    int with_ring = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(form.Points().points[i].residual, expected[i]) << "point " << i;
      with_ring += expected_n[i] > 0;
    }
    EXPECT_GT(with_ring, c.count / 10) << "the case should exercise real rings";
    residual_by_station[order].resize(stations.size());
    for (std::size_t i = 0; i < permutation.size(); ++i) {
      residual_by_station[order][permutation[i]] = form.Points().points[i].residual;
    }
  }
  EXPECT_EQ(residual_by_station[0], residual_by_station[1]);
}

INSTANTIATE_TEST_SUITE_P(Surveys, RingAgainstPlainLoop, ::testing::ValuesIn(kRingCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Both band limits are inclusive: a point at exactly R + D + 1e-6 or
// R - D - 1e-6 counts, one a step further does not.
TEST(RingBounds, BothLimitsInclusive) {
  const double radius = 100, band = 10;
  const double upper = radius + band + kRingTolerance;
  const double lower = radius - band - kRingTolerance;
  PointSet set;
  set.points = {{0, 0, 1, 0, 0, 0},
                {upper, 0, 2, 0, 1, 0},
                {0, lower, 3, 0, 2, 0},
                {-std::nextafter(upper, 1e9), 0, 4, 0, 100, 0},
                {0, -std::nextafter(lower, 0), 5, 0, 100, 0}};
  for (const SurveyPoint& p : set.points) {
    set.min_x = std::min(set.min_x, p.x);
    set.min_y = std::min(set.min_y, p.y);
  }
  for (SurveyPoint& p : set.points) {
    p.x -= set.min_x;
    p.y -= set.min_y;
    set.max_x = std::max(set.max_x, p.x);
    set.max_y = std::max(set.max_y, p.y);
  }
  set.min_x = set.min_y = 0;
  const PointRing ring(set, radius, band);
  ExactSum sum;
  const RingValues values = ring.Gather(set.points[0].x, set.points[0].y, sum);
  std::vector<double> expected;
  std::vector<int> n;
  BruteForce(set, radius, band, expected, n);
  EXPECT_EQ(values.n, n[0]);
  EXPECT_EQ(values.sum, 3.0);  // the two points on the limits, not those beyond
}

// A survey of stations as stored: coordinates shifted so that none is
// negative, with their bounding box.
PointSet StoredSet(const std::vector<Station>& stations) {
  PointSet set;
  set.min_x = set.min_y = 1e300;
  for (const Station& s : stations) {
    set.min_x = std::min(set.min_x, s.x);
    set.min_y = std::min(set.min_y, s.y);
  }
  double number = 0;
  for (const Station& s : stations) {
    set.points.push_back({s.x - set.min_x, s.y - set.min_y, ++number, 0, s.cba, 0});
    set.max_x = std::max(set.max_x, s.x - set.min_x);
    set.max_y = std::max(set.max_y, s.y - set.min_y);
  }
  set.min_x = set.min_y = 0;
  return set;
}

// However the stations lie (far longer than wide, on a line, on one spot)
// and however thin the ring, the index holds at most about two cells per
// station: five stations 1e28 m long once asked for half a billion.
TEST(RingIndexCells, AtMostAboutTwoPerStationOfAnyShape) {
  struct Shape {
    const char* name;
    std::vector<Station> stations;
    double radius, band;
  };
  const std::vector<Shape> shapes = {
      {"far longer than wide", {{-1, 0, 1}, {0, -2e28, 2}, {1, 1, 3}, {0.5, 7, 4}, {-1, 3, 5}}, 10, 1e-300},
      {"far wider than long", {{0, -1, 1}, {-2e28, 0, 2}, {1, 1, 3}, {7, 0.5, 4}, {3, -1, 5}}, 10, 0},
      {"on a line", {{0, 0, 1}, {1e15, 0, 2}, {2e15, 0, 3}}, 1, 0},
      {"on one spot", {{5, 5, 1}, {5, 5, 2}}, 1, 0},
      {"a square", {{0, 0, 1}, {1e6, 1e6, 2}, {0, 1e6, 3}, {1e6, 0, 4}}, 1, 0}};
  for (const Shape& shape : shapes) {
    const PointSet set = StoredSet(shape.stations);
    const RingIndex index(set, shape.radius - shape.band, shape.radius + shape.band);
    EXPECT_LE(index.cells(), 2 * static_cast<std::int64_t>(shape.stations.size()) + 1024) << shape.name;
    EXPECT_EQ(index.order().size(), shape.stations.size()) << shape.name;
  }
}

// Rings summed four candidates at a time in 64-bit parts (values that
// split) and one at a time in 128 bits (the same stations with one far
// station whose value spans too many binary places to split) against the
// plain loop, with many stations exactly on, or a step beyond, a limit.
TEST(RingSums, SplitAndWideSumsAgreeWithThePlainLoop) {
  const double radius = 90, band = 10;
  const double upper = radius + band + kRingTolerance;
  const double lower = radius - band - kRingTolerance;
  std::mt19937_64 random(99);
  std::vector<Station> stations = RandomSurvey(random, 1200, 800, 20);
  std::uniform_int_distribution<std::size_t> pick(0, stations.size() - 1);
  for (int i = 0; i < 150; ++i) {
    const Station c = stations[pick(random)];
    const double reach = i % 2 == 0 ? upper : lower;
    const double beyond = i % 2 == 0 ? std::nextafter(upper, 1e9) : std::nextafter(lower, 0);
    stations.push_back({c.x + reach, c.y, 3.25});
    stations.push_back({c.x, c.y - reach, -7.5});
    stations.push_back({c.x - beyond, c.y, 1e3});
  }
  std::vector<Station> wide = stations;
  wide.push_back({1e5, 1e5, 1e-15});  // in no ring but its own, which is empty
  for (const std::vector<Station>* survey : {&stations, &wide}) {
    const PointSet set = StoredSet(*survey);
    std::vector<double> cba;
    for (const SurveyPoint& p : set.points) cba.push_back(p.cba);
    const FixedPointScale scale(cba, cba.size());
    ASSERT_TRUE(scale.usable());
    ASSERT_EQ(scale.splits(), survey == &stations) << "the case should take the other path";
    const PointRing ring(set, radius, band);
    std::vector<double> expected;
    std::vector<int> n;
    BruteForce(set, radius, band, expected, n);
    ExactSum sum;
    int with_ring = 0;
    for (std::size_t i = 0; i < set.points.size(); ++i) {
      const SurveyPoint& p = set.points[i];
      const RingValues values = ring.Gather(p.x, p.y, sum);
      ASSERT_EQ(values.n, n[i]) << "point " << i;
      ASSERT_EQ(values.n > 0 ? p.cba - values.Mean() : 0.0, expected[i]) << "point " << i;
      with_ring += n[i] > 0;
    }
    EXPECT_GT(with_ring, 1000);
  }
}

// Sums of units back to doubles: rounded once, to the nearest (ties to
// even), as the exact sum of the units' 43-bit pieces rounds. Units of many
// widths, halfway cases and a lone low bit far below the rounding position,
// for units of 2^-60 (survey values) and 2^-1000 (the smallest allowed).
TEST(FixedPointScale, UnitsBackToTheNearestDouble) {
  __extension__ typedef unsigned __int128 Magnitude;
  std::mt19937_64 random(11);
  for (const int unit : {-60, -1000}) {
    const std::vector<double> values = {std::ldexp(1.0, unit + 40), std::ldexp(1.0, unit)};
    const FixedPointScale scale(values, 4);
    ASSERT_TRUE(scale.usable());
    std::vector<Magnitude> magnitudes;
    for (int width = 1; width <= 120; ++width) {
      const Magnitude top = Magnitude{1} << (width - 1);
      const Magnitude low = (Magnitude{random()} << 64 | random()) & (top - 1);
      magnitudes.push_back(top | low);
      if (width > 54) {
        const int below = width - 54;  // the bits below a 54-bit head
        magnitudes.push_back((top | low) >> below << below);  // maybe halfway
        magnitudes.push_back(((top | low) >> below << below) | 1);  // just past it
        magnitudes.push_back(((Magnitude{1} << 53) + 1) << below);  // a tie, to even
      }
    }
    for (const Magnitude magnitude : magnitudes) {
      for (const bool negative : {false, true}) {
        ExactSum sum;
        for (int shift = 0; shift < 129; shift += 43) {
          const auto piece = static_cast<double>(
              static_cast<std::uint64_t>(magnitude >> shift) & ((std::uint64_t{1} << 43) - 1));
          sum.Add(std::ldexp(negative ? -piece : piece, shift + unit));
        }
        const FixedUnits units =
            negative ? -static_cast<FixedUnits>(magnitude) : static_cast<FixedUnits>(magnitude);
        ASSERT_EQ(scale.ToDouble(units), sum.Result())
            << "unit 2^" << unit << ", " << static_cast<double>(magnitude);
      }
    }
  }
}

}  // namespace
}  // namespace torvane::testing
