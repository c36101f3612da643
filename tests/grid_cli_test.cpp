// The grid subcommands of torvane-cli as a user runs them: convert between
// formats and what it refuses, with real files and exit codes.

#include <gtest/gtest.h>

#include <random>

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
  ASSERT_TRUE(WriteGrid(platform, wide, dir.File("wide.grd"), GridFileType::kSurfer7));
  const std::string sample = SourceDir() + "/data/sample_cba.grd";
  const std::string out = dir.File("out.grd");
  const std::string help = "Run with --help for more information.\n";
  const ConvertRefusal cases[] = {
      {"NameWithoutFormat", {"convert", "$IN", dir.File("out.xyz")}, 2,
       "torvane-cli: Usage error: the name of OUT (" + dir.File("out.xyz").append(
           ") does not tell its format: end it in .grd, .asc, .tif, .tiff or .nc, or give "
           "--format\n") + help},
      {"UnknownFormat", {"convert", "$IN", "$OUT", "--format", "Surfer7"}, 2,
       "torvane-cli: Usage error: --format takes one of surfer7, surfer6, surfer-ascii, esri, "
       "geosoft, gtiff, netcdf; got 'Surfer7'\n" + help},
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

}  // namespace
}  // namespace torvane::testing
