// The stations' gridder against the function it samples, against GMT's
// surface on the same samples, and against the stations themselves on a
// real survey through torvane-cli.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "grid/Bilinear.h"
#include "grid/ReadGridValues.h"
#include "preview/MinimumCurvature.h"
#include "preview/RoundNumbers.h"
#include "preview/StationSpacing.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// A smooth field: a sum of Gaussians over 0 ... 100 km.
double Field(double x, double y) {
  struct Bump {
    double x, y, width, height;
  };
  constexpr Bump kBumps[] = {{30e3, 40e3, 15e3, 20}, {70e3, 60e3, 10e3, -12},
                             {55e3, 20e3, 20e3, 8},  {20e3, 80e3, 12e3, -6}};
  double sum = 0;
  for (const Bump& b : kBumps) {
    sum += b.height * std::exp(-((x - b.x) * (x - b.x) + (y - b.y) * (y - b.y)) / (2 * b.width * b.width));
  }
  return sum;
}

struct Samples {
  std::vector<double> x, y, z;
};

Samples RandomSamples(int count) {
  std::mt19937 random(23);
  std::uniform_real_distribution<double> along(0, 100e3);
  Samples s;
  for (int k = 0; k < count; ++k) {
    s.x.push_back(along(random));
    s.y.push_back(along(random));
    s.z.push_back(Field(s.x.back(), s.y.back()));
  }
  return s;
}

// The convex hull of the samples, counter-clockwise (Andrew's monotone chain).
std::vector<std::pair<double, double>> Hull(const Samples& s) {
  std::vector<std::pair<double, double>> p;
  for (std::size_t k = 0; k < s.x.size(); ++k) p.emplace_back(s.x[k], s.y[k]);
  std::sort(p.begin(), p.end());
  const auto cross = [](auto o, auto a, auto b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
  };
  std::vector<std::pair<double, double>> hull(2 * p.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0) --k;
    hull[k++] = p[i];
  }
  for (std::size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0) --k;
    hull[k++] = p[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

bool Inside(const std::vector<std::pair<double, double>>& hull, double x, double y) {
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const auto& a = hull[i];
    const auto& b = hull[(i + 1) % hull.size()];
    if ((b.first - a.first) * (y - a.second) - (b.second - a.second) * (x - a.first) < 0) return false;
  }
  return true;
}

constexpr SquareLattice kLattice{0, 0, 1e3, 101, 101};

TEST(MinimumCurvature, FollowsASmoothFieldInsideTheSamplesHull) {
  const Samples s = RandomSamples(2000);
  const std::vector<float> nodes = MinimumCurvatureGrid(s.x, s.y, s.z, kLattice);
  ASSERT_EQ(nodes.size(), 101u * 101u);
  const auto hull = Hull(s);
  double low = 1e300, high = -1e300, worst = 0;
  for (int i = 0; i < kLattice.nx; ++i) {
    for (int j = 0; j < kLattice.ny; ++j) {
      const double x = i * kLattice.cell, y = j * kLattice.cell;
      const double truth = Field(x, y);
      low = std::min(low, truth);
      high = std::max(high, truth);
      if (Inside(hull, x, y)) worst = std::max(worst, std::abs(nodes[static_cast<std::size_t>(i * 101 + j)] - truth));
    }
  }
  EXPECT_LT(worst, 0.02 * (high - low)) << "range " << high - low;
}

TEST(MinimumCurvature, AgreesWithGmtSurfaceOnTheSameSamples) {
  if (std::system("gmt --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "GMT is not installed";
  TempDir dir;
  const Samples s = RandomSamples(2000);
  {
    std::ofstream xyz(dir.File("s.xyz"));
    xyz.precision(17);
    for (std::size_t k = 0; k < s.x.size(); ++k) xyz << s.x[k] << ' ' << s.y[k] << ' ' << s.z[k] << '\n';
  }
  const std::string command = "cd '" + dir.path().string() + "' && gmt surface s.xyz -R0/100000/0/100000 -I1000 " +
                              "-T0.25 -Gs.nc > gmt.log 2>&1 && gmt grd2xyz s.nc > s.txt 2>> gmt.log";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::vector<float> nodes = MinimumCurvatureGrid(s.x, s.y, s.z, kLattice);
  ASSERT_EQ(nodes.size(), 101u * 101u);
  const auto hull = Hull(s);
  std::ifstream text(dir.File("s.txt"));
  double x = 0, y = 0, z = 0, low = 1e300, high = -1e300, worst = 0;
  int compared = 0;
  while (text >> x >> y >> z) {
    low = std::min(low, z);
    high = std::max(high, z);
    if (!Inside(hull, x, y)) continue;
    const auto i = static_cast<std::size_t>(std::lround(x / 1e3));
    const auto j = static_cast<std::size_t>(std::lround(y / 1e3));
    worst = std::max(worst, std::abs(nodes[i * 101 + j] - z));
    ++compared;
  }
  EXPECT_GT(compared, 8000);
  EXPECT_LT(worst, 0.01 * (high - low)) << "range " << high - low;
}

TEST(StationSpacing, MedianNearestDistanceAndRoundCells) {
  // A 10 m square lattice with one station doubled: every nearest distance is 10.
  std::vector<double> x, y;
  for (int i = 0; i < 30; ++i) {
    for (int j = 0; j < 20; ++j) {
      x.push_back(500 + 10.0 * i);
      y.push_back(-70 + 10.0 * j);
    }
  }
  x.push_back(500);
  y.push_back(-70);
  EXPECT_DOUBLE_EQ(MedianStationSpacing(x, y), 10);
  EXPECT_DOUBLE_EQ(MedianStationSpacing(std::vector<double>{1, 1}, std::vector<double>{2, 2}), 0);
  for (const auto& [value, round] : {std::pair{3.7, 2.5}, {0.013, 0.01}, {1999.0, 1000.0},
                                     {2000.0, 2000.0}, {7.0, 5.0}, {10.5, 10.0}}) {
    EXPECT_DOUBLE_EQ(RoundNumber(value), round) << value;
  }
}

TEST(ResidualGrid, HonoursTheStationsOfARealSurvey) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  TempDir dir;
  const CliResult run = RunCli(dir, {"--input", InteropDir() + "/bushveld_cba.dat", "--columns", "A,B,C,E",
                                     "--output", dir.File("t.dat"), "--radius", "30000", "--band", "5000",
                                     "--residual-grid", dir.File("r.tif"), "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ScriptedPlatform platform;
  GridValues grid;
  ASSERT_TRUE(ReadGridValues(platform, dir.File("r.tif"), grid));
  std::ifstream table(dir.File("t.dat"));
  std::string line;
  double sum = 0, squares = 0, misfit = 0;  // the typical station must be honoured
  std::vector<double> misfits;
  int n = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    double x = 0, y = 0, point = 0, cba = 0, residual = 0, count = 0;
    if (!(fields >> x >> y >> point >> cba >> residual >> count) || count == 0) continue;
    // The table's coordinates are rounded to 0.1 m: those on the edge may fall just outside.
    const double at = InterpolateBilinear(grid.Lattice(), grid.Nodes(), std::clamp(x, grid.xmin, grid.xmax()),
                                          std::clamp(y, grid.ymin, grid.ymax()));
    ASSERT_FALSE(IsBlank(at)) << x << " " << y;
    sum += residual;
    squares += residual * residual;
    misfit += (at - residual) * (at - residual);
    misfits.push_back(std::abs(at - residual));
    ++n;
  }
  ASSERT_GT(n, 3000);
  const double sd = std::sqrt((squares - sum * sum / n) / (n - 1));
  const double rms = std::sqrt(misfit / n);
  std::nth_element(misfits.begin(), misfits.begin() + n / 2, misfits.end());
  EXPECT_LT(misfits[static_cast<std::size_t>(n / 2)], 0.05 * sd) << "SD " << sd << ", root-mean-square misfit " << rms;

  // Stations closer than a cell share a node, so no grid of this cell honours
  // them all; GMT's block mean and surface on the same nodes must not do better.
  if (std::system("gmt --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "GMT is not installed";
  std::ostringstream region;
  region.precision(17);
  region << grid.xmin << '/' << grid.xmax() << '/' << grid.ymin << '/' << grid.ymax() << " -I" << grid.dx;
  const std::string command = "cd '" + dir.path().string() + "' && awk 'NR > 1 && $6 > 0 {print $1, $2, $5}' t.dat" +
                              " > s.xyz && gmt blockmean s.xyz -R" + region.str() + " > b.xyz 2> gmt.log" +
                              " && gmt surface b.xyz -R" + region.str() + " -T0.25 -Gs.nc >> gmt.log 2>&1" +
                              " && gmt grdtrack s.xyz -Gs.nc -nl > at.txt 2>> gmt.log";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream sampled(dir.File("at.txt"));
  double x = 0, y = 0, residual = 0, at = 0, gmt_misfit = 0;
  int gmt_n = 0;
  while (sampled >> x >> y >> residual >> at) {
    if (!std::isfinite(at)) continue;
    gmt_misfit += (at - residual) * (at - residual);
    ++gmt_n;
  }
  ASSERT_GT(gmt_n, 3000);
  EXPECT_LE(rms, std::sqrt(gmt_misfit / gmt_n)) << "SD " << sd;
}

}  // namespace
}  // namespace torvane::testing
