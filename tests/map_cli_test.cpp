// torvane-cli --map-cba / --map-residual beside a run, and the map
// subcommand drawing a grid file: the files read back by GDAL, Python's XML
// parser and pdfinfo; usage errors refused before anything runs.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/MapReading.h"
#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

std::vector<std::string> RunArgs(const TempDir& dir, std::vector<std::string> more) {
  std::vector<std::string> args = {"--input", SourceDir() + "/data/sample_survey.dat", "--output",
                                   dir.File("t.dat"), "--radius", "500", "--band", "100"};
  for (std::string& arg : more) args.push_back(std::move(arg));
  return args;
}

TEST(MapCli, DrawsBothMapsAfterTheRunInTheFormatsTheirNamesAskFor) {
  TempDir dir;
  const CliResult run = RunCli(
      dir, RunArgs(dir, {"--map-residual", dir.File("res.png"), "--map-cba", dir.File("cba.PDF"),
                         "--map-size", "640x480", "--map-stations"}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Residual map written to " + dir.File("res.png")), std::string::npos);
  EXPECT_NE(run.out.find("CBA map written to " + dir.File("cba.PDF")), std::string::npos);
  const DecodedPicture png = DecodePng(dir, dir.File("res.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 640);
  EXPECT_EQ(png.height, 480);
  EXPECT_NE(PdfPages(dir, dir.File("cba.PDF")).find("480 x 360 pts"), std::string::npos);  // 96 px an inch
  // A landscape A4 page; stations in degrees, drawn in the UTM zone the run
  // projected them into, which the axes name.
  const CliResult a4 = RunCli(dir, {"--input", SourceDir() + "/data/sample_stations.csv", "--columns",
                                    "longitude,latitude,station,cba", "--crs", "EPSG:4326", "--output",
                                    dir.File("s.csv"), "--radius", "500", "--band", "100",
                                    "--map-residual", dir.File("a4.pdf"), "--page", "A4",
                                    "--residual-grid", dir.File("r.tif")});
  ASSERT_EQ(a4.exit_code, 0) << a4.err;
  EXPECT_NE(PdfPages(dir, dir.File("a4.pdf")).find("841.89 x 595.2"), std::string::npos)
      << PdfPages(dir, dir.File("a4.pdf"));
  // The residual grid keeps that CRS, and its map names it too.
  const CliResult grid_map = RunCli(dir, {"map", dir.File("r.tif"), dir.File("r.pdf")});
  ASSERT_EQ(grid_map.exit_code, 0) << grid_map.err;
  for (const char* map : {"a4.pdf", "r.pdf"}) {
    const ProgramResult text = RunProgram(dir, "pdftotext", {dir.File(map), "-"});
    EXPECT_NE(text.out.find("Easting [m], EPSG:32735 - WGS 84 / UTM zone 35S"), std::string::npos)
        << map << ":\n" << text.out;
  }
}

// Each station's GAP as a dot: stations at the survey's edge see their ring
// on one side only, so the colours must span far more than one step.
TEST(MapCli, DrawsEachStationsGapAfterAQualityRun) {
  TempDir dir;
  const CliResult run = RunCli(
      dir, RunArgs(dir, {"--quality", "--map-gap", dir.File("gap.png"), "--map-size", "800x600"}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("GAP map written to " + dir.File("gap.png")), std::string::npos);
  const DecodedPicture png = DecodePng(dir, dir.File("gap.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 800);
  EXPECT_EQ(png.height, 600);
}

TEST(MapCli, UsageErrorsStopBeforeTheRun) {
  struct Case {
    std::vector<std::string> flags;
    const char* says;
  };
  const Case cases[] = {
      {{"--map-residual", "r.jpg"}, "--map-residual takes a file name ending in .png, .svg or .pdf"},
      {{"--map-cba", "c"}, "--map-cba takes a file name ending in .png"},
      {{"--map-residual", "r.png", "--map-size", "10x10"}, "--map-size takes WxH"},
      {{"--map-residual", "r.png", "--map-size", "800*600"}, "--map-size takes WxH"},
      {{"--map-residual", "r.png", "--map-size", "16384x16384"}, "100 million pixels at most"},
      {{"--map-residual", "r.png", "--map-cell", "0"}, "--map-cell takes a number greater than 0"},
      {{"--map-residual", "r.png", "--map-cell", "ten"}, "--map-cell takes a number greater than 0"},
      {{"--map-gap", "g.png"}, "--map-gap requires --quality"},
      {{"--map-residual", "r.png", "--colour-scale", "log"}, "--colour-scale takes equalised, linear or sd"},
      {{"--map-residual", "r.png", "--colour-range", "5:1"}, "--colour-range takes MIN:MAX"},
      {{"--map-residual", "r.png", "--colour-range", "-5:5", "--colour-scale", "sd"}, "exclude each other"},
      {{"--map-residual", "r.png", "--palette", "jet"}, "--palette takes seed, diverging"},
      {{"--map-residual", "r.png", "--contours", "0"}, "--contours takes an interval greater than 0"},
      {{"--map-residual", "r.pdf", "--page", "B5"}, "--page takes A4, A3 or letter"},
      {{"--map-residual", "r.pdf", "--page", "A3", "--map-size", "800x600"}, "exclude each other"},
      {{"--map-residual", "r.png", "--gridder", "kriging"}, "--gridder takes min-curvature or idw"},
      {{"--map-residual", "r.png", "--tension", "1.5"}, "--tension takes a number from 0 to 1"},
      {{"--map-residual", "r.png", "--mask-distance", "-3"}, "--mask-distance takes a number greater than 0"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const CliResult run = RunCli(dir, RunArgs(dir, c.flags));
    EXPECT_EQ(run.exit_code, 2) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.dat"))) << c.says;
  }
}

TEST(MapCli, ACellTooFineForMemoryFailsTheMapButKeepsTheTable) {
  TempDir dir;
  const CliResult run = RunCli(dir, RunArgs(dir, {"--quiet", "--map-residual", dir.File("r.png"),
                                                  "--map-cell", "0.0001"}));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("Map cell too small"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("t.dat")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.png")));
}

TEST(MapCommand, DrawsAGridFileAsSvgPngOrPdf) {
  TempDir dir;
  const std::string grid = SourceDir() + "/data/sample_cba.grd";
  CliResult run = RunCli(dir, {"map", grid, dir.File("g.svg"), "--map-size", "900x700"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(SvgSize(dir, dir.File("g.svg")), "900pxx700px");
  run = RunCli(dir, {"map", grid, dir.File("g.png"), "--quiet", "--title", "Sample CBA"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  const DecodedPicture png = DecodePng(dir, dir.File("g.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 1200);
  EXPECT_EQ(png.height, 900);
}

TEST(MapCommand, AGridThatCannotBeReadIsNamedAndNothingIsWritten) {
  TempDir dir;
  WriteFile(dir.File("junk.grd"), "not a grid\n");
  const CliResult run = RunCli(dir, {"map", dir.File("junk.grd"), dir.File("m.png")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find(dir.File("junk.grd")), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("m.png")));
  const CliResult usage = RunCli(dir, {"map", dir.File("junk.grd"), dir.File("m.gif")});
  EXPECT_EQ(usage.exit_code, 2);
}

}  // namespace
}  // namespace torvane::testing
