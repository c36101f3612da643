// The grid subcommands of torvane-cli as a user runs them: convert between
// formats and what it refuses, with real files and exit codes.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/Hvw.h"

#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

GridValues ReadBack(const std::string& path) {
  ScriptedPlatform platform;
  GridValues grid;
  EXPECT_TRUE(ReadGridValues(platform, path, grid)) << path;
  return grid;
}

void ExpectSameNodes(const GridValues& got, const GridValues& want) {
  ASSERT_EQ(got.ncols, want.ncols);
  ASSERT_EQ(got.nrows, want.nrows);
  EXPECT_DOUBLE_EQ(got.xmin, want.xmin);
  EXPECT_DOUBLE_EQ(got.ymin, want.ymin);
  EXPECT_DOUBLE_EQ(got.dx, want.dx);
  EXPECT_DOUBLE_EQ(got.dy, want.dy);
  ASSERT_EQ(got.nodes.size(), want.nodes.size());
  for (std::size_t k = 0; k < want.nodes.size(); ++k) {
    if (IsBlank(want.nodes[k])) {
      EXPECT_TRUE(IsBlank(got.nodes[k])) << k;
    } else {
      EXPECT_EQ(got.nodes[k], want.nodes[k]) << k;
    }
  }
}

// The sample grid through every format our readers read and back to
// Surfer 7: node for node the sample.
TEST(Convert, SampleGridThroughEveryFormatAndBack) {
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_cba.grd";
  const GridValues original = ReadBack(sample);
  for (const char* format : {"surfer7", "surfer6", "surfer-ascii", "esri"}) {
    const std::string there = dir.File(std::string("there.") + format);
    const CliResult out = RunCli(dir, {"convert", sample, there, "--format", format, "--quiet"});
    ASSERT_EQ(out.exit_code, 0) << format << out.err;
    EXPECT_EQ(out.out + out.err, "") << format;
    const CliResult back = RunCli(dir, {"convert", there, dir.File("back.grd")});
    ASSERT_EQ(back.exit_code, 0) << format << back.err;
    EXPECT_EQ(back.out, "Grid of 200 x 200 nodes written to " + dir.File("back.grd") +
                            " (surfer7)\n");
    SCOPED_TRACE(format);
    const GridValues again = ReadBack(dir.File("back.grd"));
    if (std::string(format) == "surfer7" || std::string(format) == "surfer6") {
      ExpectSameNodes(again, original);
    } else {
      // Text formats give the geometry back to the last digit of its text.
      ASSERT_EQ(again.nodes, original.nodes);
      EXPECT_NEAR(again.xmin, original.xmin, 1e-9);
      EXPECT_NEAR(again.dx, original.dx, 1e-12);
    }
  }
}

struct ConvertRefusal {
  const char* name;
  std::vector<std::string> args;  // $IN, $WIDE and $OUT are replaced
  int exit_code;
  std::string message;  // found in stderr
};

TEST(Convert, RefusalsLeaveTheTargetAsItWas) {
  TempDir dir;
  ScriptedPlatform platform;
  GridValues wide;
  wide.ncols = 32768;
  wide.nrows = 2;
  wide.dx = wide.dy = 1;
  wide.nodes.assign(std::size_t{wide.ncols} * wide.nrows, 5.0f);
  ASSERT_TRUE(WriteGrid(platform, wide, dir.File("wide.grd"), kSurfer7Format));
  const std::string sample = SourceDir() + "/data/sample_cba.grd";
  const std::string out = dir.File("out.grd");
  const ConvertRefusal cases[] = {
      {"NameWithoutFormat", {"convert", "$IN", dir.File("out.xyz")}, 2,
       "torvane-cli: Usage error: the name of OUT (" + dir.File("out.xyz").append(
           ") does not tell its format: end it in .grd, .asc, .tif, .tiff or .nc, or give "
           "--format")},
      {"UnknownFormat", {"convert", "$IN", "$OUT", "--format", "Surfer7"}, 2,
       "torvane-cli: Usage error: --format takes one of surfer7, surfer6, surfer-ascii, esri, "
       "geosoft, gtiff, netcdf; got 'Surfer7'"},
      {"MissingInput", {"convert", dir.File("none.grd"), "$OUT"}, 1,
       "Error by opening file " + dir.File("none.grd")},
      {"Surfer6TooWide", {"convert", "$WIDE", "$OUT", "--format", "surfer6"}, 1,
       "Error: Cannot write grid " + out +
           ": a Surfer 6 grid holds at most 32767 columns and 32767 rows; this one has 32768 x "
           "2\n"},
  };
  for (const ConvertRefusal& row : cases) {
    WriteFile(out, "kept");
    std::vector<std::string> args;
    for (const std::string& arg : row.args) {
      args.push_back(arg == "$IN" ? sample : arg == "$WIDE" ? dir.File("wide.grd") : arg == "$OUT" ? out : arg);
    }
    const CliResult run = RunCli(dir, args);
    EXPECT_EQ(run.exit_code, row.exit_code) << row.name;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << row.name << ": " << run.err;
    EXPECT_EQ(ReadFile(out), "kept") << row.name;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.grd", "wide.grd"})) << row.name;
  }
}

// The residual of the same run in the window, gridded by the plainest loop:
// every point against every node, weights 1 / distance after adding 0.001 to
// both coordinate differences, within the radius.
GridValues PlainResidualGrid(const std::string& survey, const std::string& radius, double cell) {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, survey);
  platform.SetText(Control::txt_out, dir.File("t.dat"));
  platform.SetText(Control::txt_rfs, radius);
  platform.SetText(Control::txt_rfa, "100");
  form.btn_calcClick();
  EXPECT_TRUE(form.ResultsReady());
  const PointSet& points = form.Points();
  const double reach = form.Request().GriddingRadius();
  GridValues grid;
  grid.ncols = static_cast<std::uint32_t>(std::floor((points.max_x - points.min_x) / cell)) + 1;
  grid.nrows = static_cast<std::uint32_t>(std::floor((points.max_y - points.min_y) / cell)) + 1;
  grid.xmin = points.min_x - points.shift_x;
  grid.ymin = points.min_y - points.shift_y;
  grid.dx = grid.dy = cell;
  grid.nodes.resize(std::size_t{grid.ncols} * grid.nrows);
  for (std::uint32_t c = 0; c < grid.ncols; ++c) {
    for (std::uint32_t r = 0; r < grid.nrows; ++r) {
      double sum = 0;
      double weights = 0;
      for (const SurveyPoint& p : points.points) {
        const double d = std::hypot(points.min_x + c * cell - p.x + 0.001,
                                    points.min_y + r * cell - p.y + 0.001);
        if (d > reach) continue;
        sum += p.residual / d;
        weights += 1 / d;
      }
      grid.At(c, r) = weights > 0 ? static_cast<float>(sum / weights) : kBlankNode;
    }
  }
  return grid;
}

TEST(ResidualGrid, ReadBackAsThePlainGridding) {
  TempDir dir;
  const std::string survey = SourceDir() + "/data/sample_survey.dat";
  const CliResult run =
      RunCli(dir, {"--input", survey, "--output", dir.File("t.dat"), "--radius", "400", "--band",
                   "100", "--residual-grid", dir.File("r.grd"), "--residual-grid-format", "esri",
                   "--cell", "150", "--gridder", "idw"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Residual grid of "), std::string::npos) << run.out;
  const GridValues written = ReadBack(dir.File("r.grd"));
  const GridValues plain = PlainResidualGrid(survey, "400", 150);
  ASSERT_EQ(written.ncols, plain.ncols);
  ASSERT_EQ(written.nrows, plain.nrows);
  EXPECT_NEAR(written.xmin, plain.xmin, 1e-6);
  EXPECT_NEAR(written.ymin, plain.ymin, 1e-6);
  EXPECT_NEAR(written.dx, 150, 1e-9);
  int blanks = 0;
  for (std::size_t k = 0; k < plain.nodes.size(); ++k) {
    blanks += IsBlank(plain.nodes[k]);
    if (IsBlank(plain.nodes[k])) {
      EXPECT_TRUE(IsBlank(written.nodes[k])) << k;
    } else {
      EXPECT_NEAR(written.nodes[k], plain.nodes[k], 1e-5 * (1 + std::fabs(plain.nodes[k]))) << k;
    }
  }
  EXPECT_LT(blanks, static_cast<int>(plain.nodes.size()) / 2);
}

TEST(ResidualGrid, UsageErrorsBeforeTheRun) {
  TempDir dir;
  const std::string survey = SourceDir() + "/data/sample_survey.dat";
  const struct {
    std::vector<std::string> flags;
    const char* message;
  } cases[] = {
      {{"--residual-grid", dir.File("r.grd"), "--cell", "0"},
       "--cell takes a number greater than 0; got '0'"},
      {{"--residual-grid", dir.File("r.dat"), "--cell", "10"},
       "or give --residual-grid-format"},
      {{"--cell", "10"}, "--cell requires --residual-grid"},
  };
  for (const auto& row : cases) {
    std::vector<std::string> args = {"--input", survey, "--output", dir.File("t.dat"),
                                     "--radius", "400", "--band", "50"};
    args.insert(args.end(), row.flags.begin(), row.flags.end());
    const CliResult run = RunCli(dir, args);
    EXPECT_EQ(run.exit_code, 2) << row.message;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    EXPECT_TRUE(dir.Entries().empty()) << row.message;
  }
}

}  // namespace
}  // namespace torvane::testing
