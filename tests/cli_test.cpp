// torvane-cli as a user runs it: real files, exit codes, messages on stderr.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/Hvw.h"
#include "tests/ChildProcess.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

int DataLines(const std::string& survey_path) {
  int count = 0;
  for (const std::string& line : Lines(ReadFile(survey_path))) {
    count += !line.empty() && line[0] != '/' && line[0] != 'X';
  }
  return count;
}

TEST(Cli, SampleSurveyWritesTheWholeTable) {
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  const CliResult run =
      RunCli(dir, {"--input", sample, "--output", dir.File("t.dat"), "--radius", "500", "--band",
                   "100"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find(dir.File("t.dat")), std::string::npos) << run.out;
  const auto table = Lines(ReadFile(dir.File("t.dat")));
  ASSERT_EQ(static_cast<int>(table.size()), DataLines(sample) + 1);
  int with_ring = 0;
  for (std::size_t i = 1; i < table.size(); ++i) with_ring += !table[i].ends_with(" 0\r");
  EXPECT_GT(with_ring, static_cast<int>(table.size()) / 2) << "most points should have a ring";
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.dat"});
}

// `args` with the first of each key in a word replaced by its value.
std::vector<std::string> Replaced(std::vector<std::string> args,
                                  const std::vector<std::pair<std::string, std::string>>& values) {
  for (std::string& arg : args) {
    for (const auto& [key, value] : values) {
      const auto at = arg.find(key);
      if (at != std::string::npos) arg.replace(at, key.size(), value);
    }
  }
  return args;
}

struct ExitCase {
  const char* name;
  std::vector<std::string> args;  // $IN, $OUT and $DIR are replaced
  int exit_code;
  const char* stderr_part;  // found in stderr
};

const ExitCase kExitCases[] = {
    {"HelpNamesTheOptions", {"--help"}, 0, ""},
    {"NoArguments", {}, 2, "--input"},
    {"UnknownFlag", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--frobnicate"}, 2,
     "frobnicate"},
    {"BandMissing", {"--input", "$IN", "--output", "$OUT", "--radius", "5"}, 2,
     "Usage error: --band is required in point mode"},
    {"RadiusZero", {"--input", "$IN", "--output", "$OUT", "--radius", "0", "--band", "1"}, 2,
     "Usage error: --radius 0: the ring radius R must be greater than 0 (see"},
    {"RadiusNotANumber", {"--input", "$IN", "--output", "$OUT", "--radius", "1,5", "--band", "1"},
     2, "Usage error: --radius '1,5' is not a number"},
    {"BandZero", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--band", "0"}, 2,
     "Usage error: --band 0: the band D (half-width of the ring) must be greater than 0 ("},
    {"BadColumns", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--band", "1",
                    "--columns", "A,B,C"}, 2, "--columns"},
    {"BandAboveRadius", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--band", "6"}, 2,
     "Usage error: --band 6 is wider than --radius 5"},
    {"SameInputAndOutput", {"--input", "$IN", "--output", "$IN", "--radius", "5", "--band", "1"},
     2, "Torvane: Input and output file name must not be the same.\n"},
    {"MissingInput", {"--input", "$DIR/none.dat", "--output", "$OUT", "--radius", "5", "--band",
                      "1"}, 1, "Torvane: Cannot open input data file: "},
    {"OutputFolderMissing", {"--input", "$IN", "--output", "$DIR/no/t.dat", "--radius", "5",
                             "--band", "1"}, 1, "Torvane: Error by opening output data "},
    {"RingPointsWithoutGrid", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--band", "1",
                               "--ring-points", "8"}, 2, "--ring-points"},
    {"GridMemoryLimitNotANumber", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--grid",
                                   "$IN", "--grid-memory-limit", "lots"}, 2, "--grid-memory-limit"},
    {"RingPointsZero", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--grid", "$IN",
                        "--ring-points", "0"}, 2,
     "Torvane: Number of points must be a whole number greater than 0\n"},
    {"GridMissing", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--grid",
                     "$DIR/none.grd"}, 1, "Error: Error by opening file "},
    {"GridOfUnknownFormat", {"--input", "$IN", "--output", "$OUT", "--radius", "5", "--grid", "$IN"},
     1, "Error: Unknown grid file format: "},
};

class CliExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(CliExit, CodeAndMessage) {
  const ExitCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("in.dat"), "0 0 1 0 10\n5 0 2 0 4\n");
  const CliResult run = RunCli(dir, Replaced(c.args, {{"$IN", dir.File("in.dat")},
                                                      {"$OUT", dir.File("out.dat")},
                                                      {"$DIR", dir.path().string()}}));
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  EXPECT_NE(run.err.find(c.stderr_part), std::string::npos) << run.err;
  if (c.exit_code == 0) {
    EXPECT_NE(run.out.find("--radius"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.dat")));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dat"});
}

INSTANTIATE_TEST_SUITE_P(Runs, CliExit, ::testing::ValuesIn(kExitCases),
                         [](const auto& row) { return std::string(row.param.name); });

// GDAL is loaded by the runs that need it alone: glibc's loader names every
// library it loads on stderr with LD_DEBUG=libs.
struct LoaderCase {
  const char* name;
  std::vector<std::string> args;  // $SURVEY, $GRID, $TIF and $DIR are replaced
  bool loads_gdal;
};

const LoaderCase kLoaderCases[] = {
    {"PointRun", {"--input", "$SURVEY", "--output", "$DIR/t.dat", "--radius", "500", "--band",
                  "100", "--quiet"}, false},
    {"GridModeOnASurferGrid", {"--input", "$SURVEY", "--output", "$DIR/t.dat", "--radius", "500",
                               "--grid", "$GRID", "--quiet"}, false},
    {"ConvertToEsri", {"convert", "$GRID", "$DIR/c.asc", "--quiet"}, false},
    {"ConvertFromGeoTiff", {"convert", "$TIF", "$DIR/c.grd", "--quiet"}, true},
    {"ConvertToGeoTiff", {"convert", "$GRID", "$DIR/c.tif", "--quiet"}, true},
};

std::vector<std::string> LoaderArgs(const std::vector<std::string>& args, const TempDir& dir) {
  return Replaced(args, {{"$SURVEY", SourceDir() + "/data/sample_survey.dat"},
                         {"$GRID", SourceDir() + "/data/sample_cba.grd"},
                         {"$TIF", SourceDir() + "/tests/data/gdal_gtiff.tif"},
                         {"$DIR", dir.path().string()}});
}

class CliLoader : public ::testing::TestWithParam<LoaderCase> {};

TEST_P(CliLoader, GdalOnlyWhenAGridNeedsIt) {
  const LoaderCase& c = GetParam();
  TempDir dir;
  const CliResult run = RunCli(dir, LoaderArgs(c.args, dir), "LD_DEBUG=libs");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  if (run.err.find("find library=") == std::string::npos) {
    GTEST_SKIP() << "the loader tells nothing (not glibc)";
  }
  EXPECT_EQ(run.err.find("find library=libgdal.so") != std::string::npos, c.loads_gdal) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Runs, CliLoader, ::testing::ValuesIn(kLoaderCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Where the loader finds a file of GDAL's name that is no library, the
// GeoTIFF is neither read nor written, and the user is told why.
TEST(CliLoader, GdalThatCannotBeLoaded) {
  TempDir dir;
  const CliResult found =
      RunCli(dir, LoaderArgs({"convert", "$TIF", "$DIR/c.grd", "--quiet"}, dir), "LD_DEBUG=libs");
  const auto at = found.err.find("find library=libgdal.so");
  if (at == std::string::npos) GTEST_SKIP() << "the loader tells nothing (not glibc)";
  const auto name = at + std::string("find library=").size();
  const std::string soname = found.err.substr(name, found.err.find_first_of(" \n", name) - name);
  std::filesystem::create_directory(dir.File("lib"));
  WriteFile(dir.File("lib/" + soname), "no library\n");
  const std::string broken = "LD_LIBRARY_PATH=" + dir.File("lib");
  std::filesystem::remove(dir.File("c.grd"));

  const std::string tif = SourceDir() + "/tests/data/gdal_gtiff.tif";
  const CliResult read = RunCli(dir, {"convert", tif, dir.File("c.grd")}, broken);
  EXPECT_EQ(read.exit_code, 1);
  EXPECT_NE(read.err.find("GDAL could not be loaded (" + dir.File("lib/" + soname)),
            std::string::npos) << read.err;
  EXPECT_NE(read.err.find("): " + tif), std::string::npos) << read.err;
  const CliResult written = RunCli(
      dir, {"convert", SourceDir() + "/data/sample_cba.grd", dir.File("c.tif")}, broken);
  EXPECT_EQ(written.exit_code, 1);
  EXPECT_NE(written.err.find("GDAL could not be loaded: " + dir.File("lib/" + soname)),
            std::string::npos) << written.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"lib"});
}

TEST(Cli, ColumnLettersInAnyCase) {
  TempDir dir;
  // Columns: CBA, point, Y, X.
  WriteFile(dir.File("in.dat"), "10 1 0 0\n4 2 0 100\n6 3 100 0\n");
  const CliResult run = RunCli(dir, {"--input", dir.File("in.dat"), "--output", dir.File("t.dat"),
                                     "--radius", "100", "--band", "10", "--columns", "d,C,b,a",
                                     "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "") << "--quiet prints no summary";
  EXPECT_EQ(Lines(ReadFile(dir.File("t.dat")))[1],
            "       0.0        0.0        1.0     10.000   5.000000          2\r");
}

// Grid mode on the shipped sample and its grid: every ring lies on the grid;
// a memory limit too small for the grid reads it from the file, with the
// same table; the grid's value at the point changes the residuals only.
TEST(Cli, GridModeOnTheSampleGrid) {
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  const std::string grid = SourceDir() + "/data/sample_cba.grd";
  const std::vector<std::string> common = {"--input", sample, "--radius", "500", "--grid", grid};
  auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.begin(), common.begin(), common.end());
    return extra;
  };
  const CliResult memory = RunCli(dir, with({"--output", dir.File("memory.dat")}));
  ASSERT_EQ(memory.exit_code, 0) << memory.err;
  EXPECT_EQ(memory.err, "");
  const auto table = Lines(ReadFile(dir.File("memory.dat")));
  ASSERT_EQ(static_cast<int>(table.size()), DataLines(sample) + 1);
  for (std::size_t i = 1; i < table.size(); ++i) ASSERT_TRUE(table[i].ends_with(" 360\r")) << i;

  const CliResult disk = RunCli(
      dir, with({"--output", dir.File("disk.dat"), "--grid-memory-limit", "0", "--quiet"}));
  ASSERT_EQ(disk.exit_code, 0) << disk.err;
  EXPECT_EQ(disk.err, "torvane-cli: Torvane: Grid is too big to fit in memory - data will be read "
                      "from HDD: " + grid + "\n");
  EXPECT_EQ(ReadFile(dir.File("disk.dat")), ReadFile(dir.File("memory.dat")));

  const CliResult centre = RunCli(
      dir, with({"--output", dir.File("centre.dat"), "--interpolated-cba", "--ring-points", "8"}));
  ASSERT_EQ(centre.exit_code, 0) << centre.err;
  const auto centred = Lines(ReadFile(dir.File("centre.dat")));
  ASSERT_EQ(centred.size(), table.size());
  int changed = 0;
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_EQ(centred[i].substr(0, 43), table[i].substr(0, 43)) << "X, Y, POINT and U stay";
    EXPECT_TRUE(centred[i].ends_with(" 8\r")) << i;
    changed += centred[i].substr(43, 11) != table[i].substr(43, 11);
  }
  EXPECT_GT(changed, static_cast<int>(table.size()) / 2);

  const CliResult help = RunCli(dir, {"--help"});
  for (const char* option : {"--grid", "--ring-points", "--interpolated-cba", "--grid-memory-limit"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

// Disk mode under an address-space limit that no mapping of the grid fits
// in: the nodes are read from the file instead, and the table is the one
// the mapped file gives. The grid claims 32767 x 32767 nodes (4.3 GB) but is
// sparse: only the rows and columns under the survey hold values.
TEST(Cli, DiskModeReadsAGridTooLargeToMap) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer reserves more address space than the limit";
#endif
  TempDir dir;
  constexpr int kNodes = 32767, kUsed = 150;
  constexpr double kOrigin = -2000, kSpacing = 50;
  std::string header = "DSBB";
  const std::int16_t counts[2] = {kNodes, kNodes};
  const double extents[6] = {kOrigin, kOrigin + (kNodes - 1) * kSpacing, kOrigin,
                             kOrigin + (kNodes - 1) * kSpacing, -20, 20};
  header.append(reinterpret_cast<const char*>(counts), sizeof counts);
  header.append(reinterpret_cast<const char*>(extents), sizeof extents);
  const std::string grid = dir.File("big.grd");
  {
    std::ofstream out(grid, std::ios::binary);
    out << header;
    for (int r = 0; r < kUsed; ++r) {
      std::vector<float> row(kUsed);
      for (int c = 0; c < kUsed; ++c) {
        row[c] = static_cast<float>(10 * std::sin((kOrigin + c * kSpacing) / 700) +
                                    5 * std::cos((kOrigin + r * kSpacing) / 900));
      }
      out.seekp(static_cast<std::streamoff>(header.size()) + std::streamoff{r} * kNodes * 4);
      out.write(reinterpret_cast<const char*>(row.data()), kUsed * 4);
    }
  }
  std::filesystem::resize_file(grid, header.size() + std::uintmax_t{kNodes} * kNodes * 4);
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  auto args = [&](const std::string& output) {
    return std::vector<std::string>{"--input", sample, "--radius", "500", "--grid", grid,
                                    "--grid-memory-limit", "0", "--output", output};
  };
  const ChildOutcome mapped = RunChild(TORVANE_CLI, args(dir.File("mapped.dat")), dir.path().string());
  ASSERT_EQ(mapped.exit_code, 0) << mapped.err;
  const ChildOutcome read = RunChild(TORVANE_CLI, args(dir.File("read.dat")), dir.path().string(),
                                     0, 0, 2'000'000);
  ASSERT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(read.err, mapped.err);
  const std::string table = ReadFile(dir.File("mapped.dat"));
  EXPECT_EQ(ReadFile(dir.File("read.dat")), table);
  EXPECT_EQ(table.find(" 0\r"), std::string::npos) << "every ring on the grid's values";
}

bool GermanLocaleInstalled() {
  return std::system("locale -a 2>/dev/null | grep -qi '^de_DE.utf-\\?8$'") == 0;
}

// Where the locale's decimal mark is ',', a file written with ',' reads with
// it (a stray line written with '.' is skipped and counted), and numbers on
// the command line take ',' or '.'.
TEST(Cli, CommaLocale) {
  if (!GermanLocaleInstalled()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  TempDir dir;
  WriteFile(dir.File("in.dat"), "0 0 1 0 10,5\n100,5 0 2 0 4\n0 100,5 3 0 6\n1 1 4 0 1.5\n");
  for (const char* radius : {"100,5", "100.5"}) {
    const CliResult run = RunCli(dir, {"--input", dir.File("in.dat"), "--output",
                                       dir.File("t.dat"), "--radius", radius, "--band", "0,5"},
                                 "LC_ALL=de_DE.UTF-8");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto table = Lines(ReadFile(dir.File("t.dat")));
    ASSERT_EQ(table.size(), 4u) << "the line written with '.' is skipped";
    EXPECT_EQ(table[1], "       0.0        0.0        1.0     10.500   5.500000          2\r");
    EXPECT_NE(run.err.find("in.dat: 1 row skipped (CBA not a number: line 4)"), std::string::npos)
        << run.err;
  }
}

// The project's sample survey, written with '.', gives under a German locale
// the table it gives under C, by every front end's road: the plain run, CSV
// stations and the sweep.
TEST(Cli, SampleSurveyWhateverTheLocale) {
  if (!GermanLocaleInstalled()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  const std::vector<std::vector<std::string>> runs = {
      {"--input", SourceDir() + "/data/sample_survey.dat", "--output", "$OUT", "--radius",
       "500.5", "--band", "100"},
      {"--input", SourceDir() + "/data/sample_stations.csv", "--output", "$OUT", "--crs",
       "EPSG:4326", "--columns", "longitude,latitude,station,cba", "--radius", "500", "--band",
       "100"},
      {"sweep", "--input", SourceDir() + "/data/sample_survey.dat", "--output", "$OUT",
       "--radii", "300,500.5", "--band-ratio", "0.2"},
  };
  for (const auto& run : runs) {
    std::string tables[2];
    for (int k = 0; k < 2; ++k) {
      TempDir dir;
      std::vector<std::string> args = run;
      for (std::string& arg : args) {
        if (arg == "$OUT") arg = dir.File("t.dat");
      }
      const CliResult result = RunCli(dir, args, k == 0 ? "LC_ALL=C" : "LC_ALL=de_DE.UTF-8");
      ASSERT_EQ(result.exit_code, 0) << run[1] << result.err;
      tables[k] = ReadFile(dir.File("t.dat"));
    }
    EXPECT_GT(tables[0].size(), 1000u);
    EXPECT_EQ(tables[1], tables[0]) << run[1];
  }
}

// Surveys converted from real gravity data sets: every station makes a line.
TEST(Cli, InteropSurveys) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  for (const char* name : {"bushveld_cba.dat", "lagunadelmaule_cba.dat", "yunnan_cba.dat"}) {
    TempDir dir;
    const std::string survey = InteropDir() + "/" + name;
    const CliResult run = RunCli(dir, {"--input", survey, "--output", dir.File("t.dat"),
                                       "--radius", "5000", "--band", "1000", "--quiet"});
    ASSERT_EQ(run.exit_code, 0) << name << run.err;
    const auto table = Lines(ReadFile(dir.File("t.dat")));
    EXPECT_EQ(static_cast<int>(table.size()), DataLines(survey) + 1) << name;
    // The X column gives back the file's X.
    const auto first = Lines(ReadFile(survey))[1];
    EXPECT_NEAR(std::stod(table[1].substr(0, 10)), std::stod(first), 0.051) << name;
  }
}

// A session set up in the window and saved at its close, rerun in batch.
std::string SaveSessionAsTheWindow(const TempDir& dir, const std::string& survey,
                                   const std::string& table, const std::string& radius) {
  ScriptedPlatform platform;
  TfrmMain form(platform);
  form.UseSettingsFile(dir.File("session.cfg"));
  form.ReadCfg();
  platform.SetText(Control::txt_in, survey);
  platform.SetText(Control::txt_out, table);
  platform.SetText(Control::txt_rfs, radius);
  platform.SetText(Control::txt_rfa, "10");
  // Columns: CBA, point, Y, X.
  platform.SetItemIndex(Control::cmb_gx, 3);
  platform.SetItemIndex(Control::cmb_gy, 2);
  platform.SetItemIndex(Control::cmb_point, 1);
  platform.SetItemIndex(Control::cmb_uba, 0);
  EXPECT_TRUE(form.FormClose());
  EXPECT_EQ(platform.Messages(), std::vector<std::string>{});
  return dir.File("session.cfg");
}

constexpr const char* kReversedSurvey = "10 1 0 0\n4 2 0 100\n6 3 100 0\n";
constexpr const char* kReversedFirstRow =
    "       0.0        0.0        1.0     10.000   5.000000          2\r";

TEST(CliConfig, SettingsFileAloneRunsTheSession) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kReversedSurvey);
  const std::string config =
      SaveSessionAsTheWindow(dir, dir.File("in.dat"), dir.File("t.dat"), "100");
  const CliResult run = RunCli(dir, {"--config", config});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find(dir.File("t.dat")), std::string::npos) << run.out;
  EXPECT_EQ(Lines(ReadFile(dir.File("t.dat")))[1], kReversedFirstRow);
}

TEST(CliConfig, FlagsBesideItOverrideIt) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kReversedSurvey);
  // As saved, the band (10) exceeds the radius (5): the run would be refused.
  const std::string config =
      SaveSessionAsTheWindow(dir, dir.File("in.dat"), dir.File("saved.dat"), "5");
  EXPECT_EQ(RunCli(dir, {"--config", config, "--quiet"}).exit_code, 2);

  const CliResult run = RunCli(
      dir, {"--config", config, "--output", dir.File("t.dat"), "--radius", "100", "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Lines(ReadFile(dir.File("t.dat")))[1], kReversedFirstRow);
  EXPECT_FALSE(std::filesystem::exists(dir.File("saved.dat")));

  const CliResult columns = RunCli(dir, {"--config", config, "--output", dir.File("u.dat"),
                                         "--radius", "100", "--columns", "A,B,C,D", "--quiet"});
  ASSERT_EQ(columns.exit_code, 0) << columns.err;
  EXPECT_EQ(Lines(ReadFile(dir.File("u.dat")))[1],
            "      10.0        1.0        0.0      0.000   0.000000          0\r");
}

TEST(CliConfig, RefusedSettingsFiles) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kReversedSurvey);
  WriteFile(dir.File("empty.cfg"), "");
  // A first start's window writes radius 0, which the window refuses too.
  ScriptedPlatform platform;
  TfrmMain form(platform);
  form.UseSettingsFile(dir.File("fresh.cfg"));
  form.FormClose();

  const struct {
    std::string config;
    const char* stderr_part;
  } cases[] = {
      {dir.File("none.cfg"), "none.cfg: no such file"},
      {dir.File("in.dat"), "in.dat: not a settings file"},
      {dir.File("empty.cfg"), "empty.cfg: not a settings file"},
      {dir.path().string(), "cannot be read"},
      {dir.File("fresh.cfg"), "--radius 0: the ring radius R must be greater than 0"},
  };
  for (const auto& c : cases) {
    const CliResult run = RunCli(dir, {"--config", c.config});
    EXPECT_EQ(run.exit_code, 2) << c.config;
    EXPECT_NE(run.err.find(c.stderr_part), std::string::npos) << run.err;
  }
}

TEST(CliConfig, WithoutItTheFlagsAreRequired) {
  TempDir dir;
  const CliResult run = RunCli(dir, {"--input", "in.dat", "--radius", "5"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("--output is required"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace torvane::testing
