// What a run tells besides its table: the points whose ring held no value
// (N = 0), counted after every run, and torvane-cli's messages, each naming
// its file and, for a file it could not open, read or write, the system's
// reason, each printed once and with one prefix.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/Hvw.h"
#include "tests/GridWriters.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// Three points 10 m apart on a line and, unless `isolated` is false, a
// fourth far from them. The coordinates are metres of a local grid, beyond
// what degrees can be, so that no run warns about its units.
std::string LineSurvey(bool isolated) {
  std::string text = "1000 0 1 0 10\n1010 0 2 0 4\n1020 0 3 0 6\n";
  if (isolated) text += "500 500 4 0 1\n";
  return text;
}

// The rows of a table, read back by splitting its lines into fields; the
// number of those whose last field, N, is 0.
struct TableCount {
  int rows = 0;
  int empty = 0;
};
TableCount CountRows(const std::string& table) {
  std::istringstream lines(table);
  std::string line;
  std::getline(lines, line);  // the header
  TableCount count;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string field, last;
    while (fields >> field) last = field;
    ++count.rows;
    count.empty += last == "0";
  }
  return count;
}

int LinesWith(const std::string& text, const std::string& part) {
  int found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++found;
  }
  return found;
}

struct EmptyRingCase {
  const char* name;
  bool isolated;     // the survey has a point far from the others
  const char* band;  // R is 10
  bool every_ring_empty;
};

const EmptyRingCase kEmptyRingCases[] = {
    {"NoneEmpty", false, "1", false},
    {"OnePointAlone", true, "1", false},
    {"BandMissesEveryPoint", true, "0.5", true},  // the points 10.7 m apart
};

class EmptyRings : public ::testing::TestWithParam<EmptyRingCase> {};

TEST_P(EmptyRings, CountedByTheBatchCommandEvenWhenQuiet) {
  const EmptyRingCase& c = GetParam();
  TempDir dir;
  // Stretched by 1.01 in the last case, so that no two points are 10 m apart.
  std::string survey = LineSurvey(c.isolated);
  if (c.every_ring_empty) {
    survey = "1000 0 1 0 10\n1010.7 0 2 0 4\n1021.4 0 3 0 6\n500 500 4 0 1\n";
  }
  WriteFile(dir.File("in.dat"), survey);
  for (const bool quiet : {false, true}) {
    std::vector<std::string> args = {"--input", dir.File("in.dat"), "--output", dir.File("t.dat"),
                                     "--radius", "10", "--band", c.band};
    if (quiet) args.push_back("--quiet");
    const CliResult run = RunCli(dir, args);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const TableCount table = CountRows(ReadFile(dir.File("t.dat")));
    ASSERT_EQ(table.rows, c.isolated || c.every_ring_empty ? 4 : 3);
    EXPECT_EQ(table.empty == table.rows, c.every_ring_empty);
    const std::string note = "torvane-cli: Note: N = 0 for " + std::to_string(table.empty) +
                             " of " + std::to_string(table.rows) +
                             " points: no ring value, residual written as 0\n";
    EXPECT_EQ(LinesWith(run.err, "N = 0 for "), table.empty > 0 ? 1 : 0) << run.err;
    if (table.empty > 0) {
      EXPECT_NE(run.err.find(note), std::string::npos) << run.err;
    }
    EXPECT_EQ(LinesWith(run.err, "torvane-cli: Warning: Every point has N = 0"),
              c.every_ring_empty ? 1 : 0)
        << run.err;
    if (table.empty == 0) {
      EXPECT_EQ(run.err, "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Surveys, EmptyRings, ::testing::ValuesIn(kEmptyRingCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The window warns only when every point has N = 0, in either mode, after
// the table is written; the warning says what to check.
TEST(EmptyRingsInTheWindow, WarningOnlyWhenEveryRingIsEmpty) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), LineSurvey(true));
  // A grid 100 km away from the points.
  TestGrid far(5, 5, 100000, 100000, 10, 10);
  for (double& value : far.values) value = 1;
  WriteFile(dir.File("far.grd"), Surfer7Bytes(far));
  const struct {
    const char* band;
    bool grid;
    const char* checks;  // a part of the warning, or nothing when none is due
  } cases[] = {
      {"1", false, nullptr},
      {"0.001", false, "Check the band (+- D), the radius for search, and the coordinates' units"},
      {"1", true, "that the grid covers the points"},
  };
  for (const auto& c : cases) {
    ScriptedPlatform platform;
    TfrmMain form(platform);
    platform.SetText(Control::txt_in, dir.File("in.dat"));
    platform.SetText(Control::txt_out, dir.File("t.dat"));
    platform.SetText(Control::txt_rfs, c.band[0] == '0' ? "9.9" : "10");
    platform.SetText(Control::txt_rfa, c.band);
    platform.SetChecked(Control::chb_grd, c.grid);
    platform.SetText(Control::txt_grd, dir.File("far.grd"));
    platform.SetText(Control::txt_n, "8");
    form.btn_calcClick();
    ASSERT_TRUE(form.ResultsReady()) << c.band;
    const TableCount table = CountRows(ReadFile(dir.File("t.dat")));
    EXPECT_EQ(form.EmptyRings(), table.empty);
    const std::vector<std::string> messages = platform.Messages();
    if (c.checks == nullptr) {
      EXPECT_LT(table.empty, table.rows);
      EXPECT_TRUE(messages.empty());
      continue;
    }
    EXPECT_EQ(table.empty, table.rows);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("message: Warning: Every point has N = 0")) << messages[0];
    EXPECT_NE(messages[0].find(c.checks), std::string::npos) << messages[0];
  }
}

// --- Messages ------------------------------------------------------------

struct MessageCase {
  const char* name;
  std::vector<std::string> args;  // $IN, $DIR replaced
  int exit_code;
  std::vector<std::string> parts;  // each found exactly once on stderr; $DIR replaced
};

const MessageCase kMessageCases[] = {
    {"MissingPointFile", {"--input", "$DIR/none.dat", "--band", "1"}, 1,
     {"Cannot open input data file: $DIR/none.dat: No such file or directory"}},
    {"PointFileIsAFolder", {"--input", "$DIR", "--band", "1"}, 1,
     {"Cannot open input data file: $DIR: Is a directory"}},
    {"PointFileWithoutPoints", {"--input", "$DIR/words.dat", "--band", "1"}, 1,
     {"Input file contains no valid xyz data: $DIR/words.dat"}},
    {"OutputFolderMissing", {"--input", "$IN", "--band", "1", "--output", "$DIR/no/t.dat"}, 1,
     {"Error by opening output data $DIR/no/t.dat: No such file or directory"}},
    {"OutputIsAFolder", {"--input", "$IN", "--band", "1", "--output", "$DIR"}, 1,
     {"Error by opening output data $DIR: Is a directory"}},
    // Each of the five readers tries the file; it is said once.
    {"MissingGrid", {"--input", "$IN", "--grid", "$DIR/none.grd"}, 1,
     {"Error by opening file $DIR/none.grd: No such file or directory"}},
    {"GridOfUnknownFormat", {"--input", "$IN", "--grid", "$DIR/words.dat"}, 1,
     {"Unknown grid file format: $DIR/words.dat"}},
    {"BandNamed", {"--input", "$IN", "--band", "-3"}, 2, {"--band -3: the band D"}},
    {"RingPointsNotWhole", {"--input", "$IN", "--grid", "$DIR/words.dat", "--ring-points", "2.5"},
     2, {"Number of points must be a whole number greater than 0"}},
    {"ConfigMissing", {"--config", "$DIR/none.cfg"}, 2, {"--config $DIR/none.cfg: no such file"}},
    {"PictureName", {"--input", "$IN", "--band", "1", "--preview-cba", "$DIR/p.png"}, 2,
     {"--preview-cba takes a file name ending in .bmp, .jpg or .jpeg"}},
};

class CliMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CliMessage, NamesTheFileAndTheReasonOnceWithOnePrefix) {
  const MessageCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("in.dat"), LineSurvey(false));
  WriteFile(dir.File("words.dat"), "no numbers here\n");
  auto expand = [&](std::string text) {
    for (const auto& [key, value] :
         {std::pair<std::string, std::string>{"$IN", dir.File("in.dat")},
          {"$DIR", dir.path().string()}}) {
      for (auto at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, key.size(), value);
      }
    }
    return text;
  };
  std::vector<std::string> args = {"--radius", "10", "--quiet"};
  for (const std::string& arg : c.args) args.push_back(expand(arg));
  if (std::find(args.begin(), args.end(), "--output") == args.end()) {
    args.insert(args.end(), {"--output", dir.File("t.dat")});
  }
  const auto before = dir.Entries();
  const CliResult run = RunCli(dir, args);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  for (const std::string& part : c.parts) {
    EXPECT_EQ(LinesWith(run.err, expand(part)), 1) << run.err;
  }
  std::istringstream lines(run.err);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(line.starts_with("torvane-cli: ")) << line;
  }
  EXPECT_EQ(dir.Entries(), before) << "nothing may be written";
}

INSTANTIATE_TEST_SUITE_P(Failures, CliMessage, ::testing::ValuesIn(kMessageCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
