// No output of any command may name a file the command reads, or a file
// another of its outputs writes: not by another spelling ("./", an absolute
// path), a symbolic link or a hard link. Each clash is a usage error (exit 2)
// that names both options, and every file in the folder comes out byte for
// byte as it was, with nothing left beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/Hvw.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSurvey = "0 0 1 0 10\n50 0 2 0 4\n0 50 3 0 6\n50 50 4 0 8\n";

// The folder every case runs in (as its working folder): a survey under
// several names, the sample grid, former outputs, and links to them.
struct Folder {
  TempDir dir;
  Folder() {
    WriteFile(dir.File("s.dat"), kSurvey);
    WriteFile(dir.File("survey.png"), kSurvey);  // a point file under a picture's name
    fs::copy_file(SourceDir() + "/data/sample_cba.grd", dir.File("g.grd"));
    fs::copy_file(SourceDir() + "/data/sample_cba.grd", dir.File("grid.png"));
    for (const char* old : {"t.dat", "m.png", "p.bmp", "c.csv"}) {
      WriteFile(dir.File(old), std::string("former ") + old);
    }
    fs::create_symlink("s.dat", dir.File("link.dat"));
    fs::create_hard_link(dir.File("s.dat"), dir.File("hard.dat"));
    fs::create_symlink("survey.png", dir.File("link.png"));
    fs::create_symlink("g.grd", dir.File("link.grd"));
    fs::create_hard_link(dir.File("g.grd"), dir.File("hard.grd"));
  }
  // Every entry's bytes (a link's through the link).
  std::map<std::string, std::string> Contents() const {
    std::map<std::string, std::string> contents;
    for (const std::string& name : dir.Entries()) contents[name] = ReadFile(dir.File(name));
    return contents;
  }
};

struct ClashCase {
  const char* name;
  std::vector<std::string> args;  // $D is the folder's absolute path
  const char* options;            // both options, as the message names them
};

const std::vector<std::string> kRun = {"--radius", "60", "--band", "20", "--quiet"};

std::vector<std::string> Run(std::vector<std::string> args) {
  args.insert(args.end(), kRun.begin(), kRun.end());
  return args;
}

const ClashCase kCases[] = {
    // The sweep's curve and plot against the survey and the table.
    {"SweepCurveIsTheSurvey", {"sweep", "--input", "s.dat", "--output", "t.dat", "--radii",
                               "100,200", "--band-ratio", "0.2", "--curve", "./s.dat"},
     "--curve ./s.dat and --input s.dat"},
    {"SweepCurveIsAHardLinkOfTheSurvey", {"sweep", "--input", "s.dat", "--output", "t.dat",
                                          "--radii", "100", "--band", "5", "--curve", "hard.dat"},
     "--curve hard.dat and --input s.dat"},
    {"SweepPlotIsALinkToTheSurvey", {"sweep", "--input", "survey.png", "--output", "t.dat",
                                     "--radii", "100", "--band", "5", "--plot", "link.png"},
     "--plot link.png and --input survey.png"},
    {"SweepCurveIsTheTable", {"sweep", "--input", "s.dat", "--output", "t.dat", "--radii", "100",
                              "--band", "5", "--curve", "$D/t.dat"},
     "--curve $D/t.dat and --output t.dat"},
    // The run's pictures, maps and residual grid.
    {"ResidualGridIsTheSurvey", Run({"--input", "s.dat", "--output", "t.dat", "--residual-grid",
                                     "link.dat", "--residual-grid-format", "surfer7", "--cell",
                                     "10"}),
     "--residual-grid link.dat and --input s.dat"},
    {"ResidualGridIsTheGrid", {"--input", "s.dat", "--output", "t.dat", "--radius", "60",
                               "--grid", "g.grd", "--residual-grid", "hard.grd", "--cell", "10"},
     "--residual-grid hard.grd and --grid g.grd"},
    {"MapIsTheSurvey", Run({"--input", "survey.png", "--output", "t.dat", "--map-cba",
                            "$D/survey.png"}),
     "--map-cba $D/survey.png and --input survey.png"},
    {"MapIsTheTable", Run({"--input", "s.dat", "--output", "m.png", "--map-residual", "./m.png"}),
     "--map-residual ./m.png and --output m.png"},
    {"TwoMapsOneFile", Run({"--input", "s.dat", "--output", "t.dat", "--map-residual", "m.png",
                            "--map-cba", "./m.png"}),
     "--map-residual m.png and --map-cba ./m.png"},
    {"TwoPicturesOneFile", Run({"--input", "s.dat", "--output", "t.dat", "--preview-cba", "p.bmp",
                                "--preview-residual", "$D/./p.bmp"}),
     "--preview-residual $D/./p.bmp and --preview-cba p.bmp"},
    // The grid tools.
    {"GridResidualOverItsGrid", {"grid-residual", "--grid", "g.grd", "--output", "./g.grd",
                                 "--radius", "500"},
     "--output ./g.grd and --grid g.grd"},
    {"GridResidualThroughALink", {"grid-residual", "--grid", "g.grd", "--output", "link.grd",
                                  "--radius", "500"},
     "--output link.grd and --grid g.grd"},
    {"ConvertInPlace", {"convert", "g.grd", "$D/g.grd", "--format", "geosoft"},
     "OUT $D/g.grd and IN g.grd"},
    {"ConvertThroughALink", {"convert", "g.grd", "link.grd", "--format", "geosoft"},
     "OUT link.grd and IN g.grd"},
    {"ConvertOverAHardLink", {"convert", "hard.grd", "g.grd", "--format", "esri"},
     "OUT g.grd and IN hard.grd"},
    {"MapOverItsGrid", {"map", "grid.png", "./grid.png"}, "FILE ./grid.png and GRID grid.png"},
};

std::string Expand(std::string text, const std::string& folder) {
  for (std::size_t at = text.find("$D"); at != std::string::npos; at = text.find("$D", at)) {
    text.replace(at, 2, folder);
  }
  return text;
}

class OutputClash : public ::testing::TestWithParam<ClashCase> {};

TEST_P(OutputClash, RefusedWithNothingChanged) {
  const ClashCase& c = GetParam();
  Folder folder;
  const std::string root = folder.dir.path().string();
  std::vector<std::string> args;
  for (const std::string& arg : c.args) args.push_back(Expand(arg, root));
  const std::map<std::string, std::string> before = folder.Contents();
  const CliResult run = RunCli(folder.dir, args, "cd '" + root + "' &&");
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_NE(run.err.find(Expand(c.options, root) + " are the same file"), std::string::npos)
      << run.err;
  EXPECT_EQ(folder.Contents(), before);
}

INSTANTIATE_TEST_SUITE_P(Clashes, OutputClash, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The window's save buttons refuse the survey, the table and the grid under
// any name, and write elsewhere as before.
TEST(OutputClash, WindowPictureExports) {
  Folder folder;
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, folder.dir.File("survey.png"));
  platform.SetText(Control::txt_out, folder.dir.File("p.bmp"));
  platform.SetText(Control::txt_rfs, "60");
  platform.SetText(Control::txt_rfa, "20");
  platform.SetChecked(Control::cb_preview, true);
  form.btn_calcClick();
  ASSERT_TRUE(form.ResultsReady());
  const std::map<std::string, std::string> before = folder.Contents();
  for (const std::string name : {"link.png", "./p.bmp"}) {
    const std::string path = name[0] == '.' ? (folder.dir.path() / name).string()
                                            : folder.dir.File(name);
    EXPECT_FALSE(form.SavePicture(Control::img_uba, path, PictureFormat::kBitmap)) << name;
  }
  EXPECT_EQ(platform.CountOf("info: The export " + folder.dir.File("link.png") +
                             " and the input file " + folder.dir.File("survey.png") +
                             " are the same file: Input and output file name must not be the "
                             "same."),
            1);
  EXPECT_EQ(folder.Contents(), before);
  EXPECT_TRUE(form.SavePicture(Control::img_uba, folder.dir.File("new.bmp"), PictureFormat::kBitmap));
}

}  // namespace
}  // namespace torvane::testing
