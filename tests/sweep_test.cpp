// torvane-cli sweep: each radius's columns against single runs at that
// radius and band, the curve against numpy on the same numbers, the plot,
// and the command line's refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// The system's interpreter, with Debian's python3-numpy beside it.
constexpr const char* kPython = "/usr/bin/python3";

std::vector<std::string> Fields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  if (separator == ' ') {
    std::istringstream in(line);
    for (std::string field; in >> field;) fields.push_back(field);
    return fields;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

std::string Sample() { return SourceDir() + "/data/sample_survey.dat"; }

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

struct SweepCase {
  const char* name;
  const char* radii;
  std::vector<double> radius_values;
  const char* band_flag;
  double band;
  std::vector<std::string> blanking;
  // The stations and how they are read: the sample survey when empty.
  std::string input = Sample();
  std::vector<std::string> reading = {};
  // Stations written for the case instead, when given.
  std::string survey = {};
};

// Stations on the limits of the rings R = 100, 150 and 200 m with D = 50 m
// (which overlap: 150 - 50 is the next ring's R - D), a hair inside and
// outside them, and within the rounding of their squares, round two
// centres; on the axes and off them.
std::string StationsOnBandLimits() {
  std::string text;
  int number = 0;
  const auto add = [&](double x, double y) {
    ++number;
    text += Number(x) + " " + Number(y) + " " + std::to_string(number) + " 0 " +
            Number(10 + number % 17 * 0.37 - number % 5) + "\n";
  };
  for (const auto& [cx, cy] : {std::pair{0.0, 0.0}, std::pair{3000.0, -0.5}}) {
    add(cx, cy);
    for (const double radius : {100.0, 150.0, 200.0}) {
      for (const double limit : {radius - 50 - 1e-6, radius + 50 + 1e-6}) {
        for (const double d : {limit, std::nextafter(limit, 0.0), std::nextafter(limit, 1e9),
                               limit * (1 + 3e-10), limit * (1 - 3e-10)}) {
          add(cx + d, cy);
          add(cx, cy - d);
          add(cx - d * 0.6, cy + d * 0.8);
        }
      }
    }
  }
  return text;
}

const SweepCase kSweepCases[] = {
    {"ListWithBandRatio", "900,200,500", {900, 200, 500}, "--band-ratio", 0.2, {}},
    {"RangeWithFixedBand", "150:750:300", {150, 450, 750}, "--band", 60, {}},
    {"Blanked", "300,700", {300, 700}, "--band-ratio", 0.15,
     {"--min-ring-points", "8", "--max-gap", "150"}},
    // Station names, latitude and longitude: read and projected as a single run does.
    {"StationsInDegrees", "250,600", {250, 600}, "--band-ratio", 0.2, {},
     SourceDir() + "/data/sample_stations.csv",
     {"--crs", "EPSG:4326", "--columns", "longitude,latitude,station,cba"}},
    {"StationsOnBandLimits", "100,150,200", {100, 150, 200}, "--band", 50, {}, "", {},
     StationsOnBandLimits()},
};

class SweepAgainstSingleRuns : public ::testing::TestWithParam<SweepCase> {};

// The wide table's columns for each radius are the single run's, character
// for character, in the fixed-width table and in CSV.
TEST_P(SweepAgainstSingleRuns, SameColumns) {
  SweepCase c = GetParam();
  TempDir dir;
  if (!c.survey.empty()) {
    c.input = dir.File("survey.dat");
    WriteFile(c.input, c.survey);
  }
  for (const bool csv : {false, true}) {
    const std::string sweep_name = csv ? "sweep.csv" : "sweep.dat";
    std::vector<std::string> args = {"sweep", "--quiet", "--input", c.input, "--output",
                                     dir.File(sweep_name), "--radii", c.radii, c.band_flag,
                                     Number(c.band)};
    args.insert(args.end(), c.blanking.begin(), c.blanking.end());
    args.insert(args.end(), c.reading.begin(), c.reading.end());
    const CliResult sweep = RunCli(dir, args);
    ASSERT_EQ(sweep.exit_code, 0) << sweep.err;
    const std::vector<std::string> table = CrlfLines(ReadFile(dir.File(sweep_name)));
    const char separator = csv ? ',' : ' ';
    const std::vector<std::string> header = Fields(table.at(0), separator);
    ASSERT_EQ(header.size(), 4 + 2 * c.radius_values.size()) << table[0];
    int blank = 0;
    for (std::size_t r = 0; r < c.radius_values.size(); ++r) {
      const double radius = c.radius_values[r];
      const double band = std::string(c.band_flag) == "--band" ? c.band : c.band * radius;
      char name[32];
      std::snprintf(name, sizeof name, "%g", radius);
      EXPECT_EQ(header[4 + 2 * r], (csv ? "residual_" : "TORVANE_") + std::string(name));
      EXPECT_EQ(header[5 + 2 * r], (csv ? "n_" : "N_") + std::string(name));
      const std::string single_name = csv ? "single.csv" : "single.dat";
      std::vector<std::string> single_args = {"--quiet", "--input", c.input, "--output",
                                              dir.File(single_name), "--radius", Number(radius),
                                              "--band", Number(band)};
      single_args.insert(single_args.end(), c.blanking.begin(), c.blanking.end());
      single_args.insert(single_args.end(), c.reading.begin(), c.reading.end());
      const CliResult single = RunCli(dir, single_args);
      ASSERT_EQ(single.exit_code, 0) << single.err;
      const std::vector<std::string> lines = CrlfLines(ReadFile(dir.File(single_name)));
      ASSERT_EQ(lines.size(), table.size());
      for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> wide = Fields(table[i], separator);
        const std::vector<std::string> one = Fields(lines[i], separator);
        ASSERT_EQ(std::vector<std::string>(wide.begin(), wide.begin() + 4),
                  std::vector<std::string>(one.begin(), one.begin() + 4));
        ASSERT_EQ(wide.at(4 + 2 * r), one.at(4)) << "radius " << radius << " line " << i;
        ASSERT_EQ(wide.at(5 + 2 * r), one.at(5)) << "radius " << radius << " line " << i;
        blank += one[4] == "NaN" || (csv && one[4].empty());
      }
    }
    EXPECT_EQ(blank > 0, !c.blanking.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Radii, SweepAgainstSingleRuns, ::testing::ValuesIn(kSweepCases),
                         [](const auto& row) { return std::string(row.param.name); });

// numpy works out the curve from the sweep's CSV table, and the share of
// one-sided rings from single runs with --quality; the curve must agree.
constexpr const char* kCurveCheck = R"(
import csv, sys
import numpy as np
folder, radii = sys.argv[1], sys.argv[2].split(',')
table = list(csv.DictReader(open(folder + '/sweep.csv', newline='')))
curve = list(csv.DictReader(open(folder + '/curve.csv', newline='')))
assert len(curve) == len(radii)
def column(name):
    return np.array([float(row[name]) if row[name] != '' else np.nan for row in table])
def close(mine, theirs, what):
    if theirs == '':
        assert np.isnan(mine), (what, mine)
    else:
        assert abs(mine - float(theirs)) <= 1e-12 * max(1.0, abs(mine)), (what, mine, theirs)
previous = None
for r, row in zip(radii, curve):
    res, n = column('residual_' + r), column('n_' + r)
    use = ~np.isnan(res) & (n >= 1)
    assert float(row['radius']) == float(r)
    assert int(row['points_with_ring']) == use.sum()
    close(n[use].mean(), row['mean_n'], 'mean_n')
    close(np.sqrt(np.mean(res[use] ** 2)), row['rms_residual'], 'rms')
    close(np.mean(np.abs(res[use])), row['mean_abs_residual'], 'mean_abs')
    if previous is None:
        assert row['correlation_previous'] == ''
    else:
        both = use & previous[1]
        c = np.corrcoef(res[both], previous[0][both])[0, 1]
        assert abs(c - float(row['correlation_previous'])) <= 1e-9, (c, row)
    single = list(csv.DictReader(open(folder + '/q' + r + '.csv', newline='')))
    gap = np.array([float(s['gap']) for s in single])
    close(np.mean(gap[use] > 180), row['share_gap_over_180'], 'share')
    previous = (res, use)
print('ok')
)";

TEST(SweepCurve, AgreesWithNumpy) {
  TempDir dir;
  const std::vector<std::string> radii = {"250", "500", "1000"};
  const CliResult sweep =
      RunCli(dir, {"sweep", "--quiet", "--input", Sample(), "--output", dir.File("sweep.csv"),
                   "--radii", "250,500,1000", "--band-ratio", "0.25", "--min-ring-points", "4",
                   "--curve", dir.File("curve.csv")});
  ASSERT_EQ(sweep.exit_code, 0) << sweep.err;
  for (const std::string& r : radii) {
    const CliResult single = RunCli(
        dir, {"--quiet", "--input", Sample(), "--output", dir.File("q" + r + ".csv"), "--radius",
              r, "--band", Number(0.25 * std::stod(r)), "--min-ring-points", "4", "--quality"});
    ASSERT_EQ(single.exit_code, 0) << single.err;
  }
  WriteFile(dir.File("check.py"), kCurveCheck);
  const ProgramResult check =
      RunProgram(dir, kPython, {dir.File("check.py"), dir.path().string(), "250,500,1000"});
  EXPECT_EQ(check.exit_code, 0) << check.err;
  EXPECT_EQ(check.out, "ok\n");
}

// The plot is a PNG of the asked size, written beside the table.
TEST(SweepPlot, PngWritten) {
  TempDir dir;
  const CliResult sweep =
      RunCli(dir, {"sweep", "--input", Sample(), "--output", dir.File("sweep.dat"), "--radii",
                   "100:1500:200", "--band-ratio", "0.2", "--plot", dir.File("curve.PNG")});
  ASSERT_EQ(sweep.exit_code, 0) << sweep.err;
  EXPECT_NE(sweep.out.find("Plot written to"), std::string::npos) << sweep.out;
  const std::string png = ReadFile(dir.File("curve.PNG"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto big_endian = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(big_endian(16), 900);
  EXPECT_EQ(big_endian(20), 560);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"curve.PNG", "sweep.dat"}));
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;  // after sweep --input SAMPLE --output OUT
  int exit_code;
  const char* stderr_part;
};

const RefusalCase kRefusals[] = {
    {"NoBand", {"--radii", "100,200"}, 2, "--band"},
    {"BothBands", {"--radii", "100", "--band", "10", "--band-ratio", "0.1"}, 2, "excludes"},
    {"BandWiderThanARadius", {"--radii", "100,50", "--band", "60"}, 2, "50"},
    {"RatioAboveOne", {"--radii", "100", "--band-ratio", "1.5"}, 2, "--band-ratio"},
    {"RadiusNotANumber", {"--radii", "100,abc", "--band", "5"}, 2, "abc"},
    {"RadiusZero", {"--radii", "0,100", "--band", "0"}, 2, "greater than 0"},
    {"RadiusTwice", {"--radii", "100,200,100", "--band", "5"}, 2, "twice"},
    {"RangeBackwards", {"--radii", "500:100:100", "--band", "5"}, 2, "STOP"},
    {"RangeWithoutStep", {"--radii", "100:500", "--band", "5"}, 2, "START:STOP:STEP"},
    {"PlotNotPng", {"--radii", "100", "--band", "5", "--plot", "$DIR/c.jpg"}, 2, ".png"},
    {"NoSuchInput", {"--radii", "100", "--band", "5", "--input", "$DIR/none.dat"}, 1, ""},
    // The table would replace the survey: refused whatever the spelling.
    {"OutputIsTheInput", {"--radii", "100", "--band", "5", "--input", "$DIR/./out.dat"}, 2,
     "must not be the same"},
};

class SweepRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SweepRefusals, ExitCodeAndMessage) {
  TempDir dir;
  std::vector<std::string> args = {"sweep", "--output", dir.File("out.dat")};
  bool input_given = false;
  for (std::string arg : GetParam().args) {
    if (arg.starts_with("$DIR")) arg = dir.path().string() + arg.substr(4);
    input_given = input_given || arg == "--input";
    args.push_back(arg);
  }
  if (!input_given) args.insert(args.end(), {"--input", Sample()});
  const CliResult run = RunCli(dir, args);
  EXPECT_EQ(run.exit_code, GetParam().exit_code) << run.err;
  EXPECT_NE(run.err.find(GetParam().stderr_part), std::string::npos) << run.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{}) << "nothing written";
}

INSTANTIATE_TEST_SUITE_P(Flags, SweepRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
