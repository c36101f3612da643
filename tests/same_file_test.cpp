// The output may not be the point file or the grid file under another name:
// another spelling, a symbolic or a hard link. Each spelling is tried through
// the window's logic and through torvane-cli; the file named twice must come
// out unchanged, and names of two real files that differ only in letter case
// must still pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/Hvw.h"
#include "common/SameFile.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSurvey = "0 0 1 0 10\n5 0 2 0 4\n0 5 3 0 6\n";
constexpr const char* kSameName = "info: Input and output file name must not be the same.";

// One folder: the survey b.dat, a grid g.grd (any bytes: the refusal comes
// before it is read), a sub-folder, and the links the cases use.
struct Folder {
  TempDir dir;
  Folder() {
    WriteFile(dir.File("b.dat"), kSurvey);
    WriteFile(dir.File("g.grd"), "not read");
    fs::create_directory(dir.File("sub"));
    fs::create_symlink("b.dat", dir.File("soft.dat"));
    fs::create_hard_link(dir.File("b.dat"), dir.File("hard.dat"));
    WriteFile(dir.File("B.dat"), kSurvey);
  }
  std::string Relative(const std::string& name) const {
    return fs::relative(dir.File(name), fs::current_path()).string();
  }
};

struct SpellingCase {
  const char* name;
  // The input, the output and (grid mode when not empty) the grid name.
  std::function<std::string(const Folder&)> input, output, grid;
  bool refused;
};

std::string Absolute(const Folder& f, const char* name) { return f.dir.File(name); }

const SpellingCase kCases[] = {
    {"RelativeAgainstAbsolute", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return f.Relative("b.dat"); }, nullptr, true},
    {"AbsoluteAgainstRelative", [](const Folder& f) { return f.Relative("b.dat"); },
     [](const Folder& f) { return Absolute(f, "b.dat"); }, nullptr, true},
    {"DotSlash", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return (f.dir.path() / "." / "b.dat").string(); }, nullptr, true},
    {"ThroughAFolderAndBack", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return (f.dir.path() / "sub" / ".." / "b.dat").string(); }, nullptr,
     true},
    {"SymbolicLink", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return Absolute(f, "soft.dat"); }, nullptr, true},
    {"HardLink", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return Absolute(f, "hard.dat"); }, nullptr, true},
    {"GridByAnotherSpelling", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return (f.dir.path() / "." / "g.grd").string(); },
     [](const Folder& f) { return f.Relative("g.grd"); }, true},
    {"CaseOnlyDifferenceOfTwoRealFiles", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return Absolute(f, "B.dat"); }, nullptr, false},
    {"AnotherFile", [](const Folder& f) { return Absolute(f, "b.dat"); },
     [](const Folder& f) { return Absolute(f, "sub/t.dat"); }, nullptr, false},
};

void PrintTo(const SpellingCase& c, std::ostream* out) { *out << c.name; }

class SameFileSpelling : public ::testing::TestWithParam<SpellingCase> {
 protected:
  void SetUp() override {
    const SpellingCase& c = GetParam();
    if (!c.refused && fs::equivalent(folder.dir.File("b.dat"), folder.dir.File("B.dat"))) {
      GTEST_SKIP() << "this file system does not tell letter cases apart";
    }
    input = c.input(folder);
    output = c.output(folder);
    if (c.grid) grid = c.grid(folder);
  }
  // Nothing named twice has changed, and nothing was left beside it.
  void ExpectNothingLost() const {
    EXPECT_EQ(ReadFile(folder.dir.File("b.dat")), kSurvey);
    EXPECT_EQ(ReadFile(folder.dir.File("g.grd")), "not read");
    EXPECT_EQ(folder.dir.Entries(),
              (std::vector<std::string>{"B.dat", "b.dat", "g.grd", "hard.dat", "soft.dat", "sub"}));
  }

  Folder folder;
  std::string input, output, grid;
};

TEST_P(SameFileSpelling, InTheWindow) {
  const SpellingCase& c = GetParam();
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, input);
  platform.SetText(Control::txt_out, output);
  platform.SetText(Control::txt_rfs, "5");
  platform.SetText(Control::txt_rfa, "1");
  platform.SetChecked(Control::chb_grd, !grid.empty());
  platform.SetText(Control::txt_grd, grid);
  form.btn_calcClick();
  if (c.refused) {
    EXPECT_EQ(platform.Messages(), std::vector<std::string>{kSameName});
    EXPECT_EQ(platform.focus(), Control::txt_out);
    EXPECT_TRUE(form.CalcRefused());
    ExpectNothingLost();
  } else {
    EXPECT_EQ(platform.CountOf(kSameName), 0);
    EXPECT_TRUE(form.ResultsReady());
    EXPECT_EQ(ReadFile(folder.dir.File("b.dat")), kSurvey);
    EXPECT_TRUE(ReadFile(output).starts_with("         X          Y      POINT"));
  }
}

TEST_P(SameFileSpelling, ThroughTheBatchCommand) {
  const SpellingCase& c = GetParam();
  std::vector<std::string> args = {"--input", input, "--output", output, "--radius", "5", "--quiet"};
  if (grid.empty()) {
    args.insert(args.end(), {"--band", "1"});
  } else {
    args.insert(args.end(), {"--grid", grid});
  }
  const CliResult run = RunCli(folder.dir, args);
  if (c.refused) {
    EXPECT_EQ(run.exit_code, 2) << run.err;
    EXPECT_NE(run.err.find("Input and output file name must not be the same."), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("--output " + output + " is the file"), std::string::npos) << run.err;
    ExpectNothingLost();
  } else {
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadFile(folder.dir.File("b.dat")), kSurvey);
    EXPECT_TRUE(ReadFile(output).starts_with("         X          Y      POINT"));
  }
}

INSTANTIATE_TEST_SUITE_P(Spellings, SameFileSpelling, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Names of files that do not exist yet are the same when they resolve to
// the same place; a name and a missing one are not.
TEST(SameFile, NamesOfFilesNotThereYet) {
  TempDir dir;
  fs::create_directory(dir.File("sub"));
  EXPECT_TRUE(SameFile(dir.File("new.dat"), (dir.path() / "sub" / ".." / "new.dat").string()));
  EXPECT_TRUE(SameFile(dir.File("new.dat"), (dir.path() / "." / "new.dat").string()));
  EXPECT_FALSE(SameFile(dir.File("new.dat"), dir.File("New.dat")));
  WriteFile(dir.File("old.dat"), "x");
  EXPECT_FALSE(SameFile(dir.File("old.dat"), dir.File("new.dat")));
  EXPECT_FALSE(SameFile("", dir.File("new.dat")));
}

}  // namespace
}  // namespace torvane::testing
