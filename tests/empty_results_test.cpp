// Runs whose radius cannot fit the survey or the grid say so: the sweep
// notes N = 0 per radius and fails when no radius gave any station a ring,
// grid-residual fails when no node got a residual, and a single run warns of
// R beyond the survey's diagonal and of coordinates that look like degrees.
// Radii and bands print as people write them (100000, not 1e+05).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

struct SaidCase {
  const char* name;
  std::vector<std::string> args;  // $SURVEY, $GRID, $DEGREES and $OUT are replaced
  int exit_code;
  std::vector<std::string> said;         // parts of stderr
  std::vector<std::string> written = {};  // parts of the output; empty: no output at all
};

const SaidCase kSaid[] = {
    {"SweepOfRadiiFarTooSmall",
     {"sweep", "--input", "$SURVEY", "--output", "$OUT", "--radii", "0.001,0.002", "--band",
      "0", "--curve", "$OUT.csv"},
     1,
     {"N = 0 for 3000 of 3000 points", "no station has a ring value at any radius (R = 0.001, "
      "0.002)"}},
    {"SweepWithOneRadiusTooLarge",
     {"sweep", "--input", "$SURVEY", "--output", "$OUT", "--radii", "500,100000,2000000",
      "--band-ratio", "0.2", "--curve", "$OUT.csv", "--quiet"},
     0,
     {"R = 100000, 2000000 is beyond the survey's diagonal",
      "R = 2000000: N = 0 for 3000 of 3000 points"},
     {"TORVANE_100000", "N_2000000"}},
    {"GridResidualWithoutAnyRing",
     {"grid-residual", "--grid", "$GRID", "--output", "$OUT.grd", "--radius", "1000000000"},
     1,
     {"no node got a residual", "R = 1000000000 (", " cells) on a grid of "}},
    {"RunBeyondTheDiagonal",
     {"--input", "$SURVEY", "--output", "$OUT", "--radius", "100000", "--band", "100",
      "--quiet"},
     0,
     {"R = 100000 is beyond the survey's diagonal"},
     {"TORVANE"}},
    {"RunOnDegreesWithoutCrs",
     {"--input", "$DEGREES", "--output", "$OUT", "--radius", "500", "--band", "100", "--quiet"},
     0,
     {"the coordinates look like degrees", "--crs EPSG:4326"},
     {"TORVANE"}},
};

class EmptyResults : public ::testing::TestWithParam<SaidCase> {};

TEST_P(EmptyResults, AreSaid) {
  const SaidCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("degrees.dat"), "27.43 -25.02 1 0 -30.5\n27.44 -25.03 2 0 -30.1\n");
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg == "$SURVEY") arg = SourceDir() + "/data/sample_survey.dat";
    if (arg == "$GRID") arg = SourceDir() + "/data/sample_cba.grd";
    if (arg == "$DEGREES") arg = dir.File("degrees.dat");
    if (arg.starts_with("$OUT")) arg = dir.File("out.dat") + arg.substr(4);
  }
  const ProgramResult run = RunProgram(dir, TORVANE_CLI, args);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  for (const std::string& part : c.said) {
    EXPECT_NE(run.err.find(part), std::string::npos) << part << "\n" << run.err;
  }
  const std::string out = dir.File("out.dat");
  ASSERT_EQ(std::filesystem::exists(out), !c.written.empty());
  if (c.written.empty()) {
    EXPECT_FALSE(std::filesystem::exists(out + ".csv"));
    EXPECT_FALSE(std::filesystem::exists(out + ".grd"));
    return;
  }
  const std::string table = ReadFile(out);
  for (const std::string& part : c.written) {
    EXPECT_NE(table.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(table.find("e+"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Runs, EmptyResults, ::testing::ValuesIn(kSaid),
                         [](const auto& row) { return std::string(row.param.name); });

// The curve's radius and band columns in plain decimal, each row read back
// as the number it names.
TEST(EmptyResults, CurveRadiiInPlainDecimal) {
  TempDir dir;
  const ProgramResult run = RunProgram(
      dir, TORVANE_CLI,
      {"sweep", "--input", SourceDir() + "/data/sample_survey.dat", "--output",
       dir.File("s.dat"), "--radii", "0.5,1000,100000,2000000", "--band-ratio", "0.5", "--curve",
       dir.File("c.csv"), "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string curve = ReadFile(dir.File("c.csv"));
  for (const char* row : {"\n0.5,0.25,", "\n1000,500,", "\n100000,50000,", "\n2000000,1000000,"}) {
    EXPECT_NE(curve.find(row), std::string::npos) << row << "\n" << curve;
  }
}

}  // namespace
}  // namespace torvane::testing
