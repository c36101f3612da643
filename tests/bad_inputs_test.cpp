// A catalogue of bad inputs, each run end to end through the window's logic
// (TfrmMain) and through torvane-cli: the point file, the grid, the radius
// and the settings file. For each: the messages the user gets, and that
// nothing was lost (a run that fails keeps the earlier table and leaves no
// temporary file; a run that succeeds writes a sane table).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>

#include "app/ControlDefaults.h"
#include "app/Hvw.h"
#include "tests/GridWriters.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEarlierTable = "an earlier table\r\n";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

std::string Fixed(const char* format, double value) {
  char text[400];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// --- The inputs -----------------------------------------------------------

std::string ThreePoints() { return "0 0 1 0 10\n120.5 -33 2 0 4\n-400 250 3 0 -6\n"; }

// Lines the grammar skips, of every kind, a million of them; one point.
std::string OneValidLineAmongAMillion() {
  static const std::string text = [] {
    const std::string bad[] = {"X Y POINT H CBA", "/ 1 2 3 0 4", "P1 2 3", "P3 1 2 0 4",
                               "\"1\" 2 3 0 4", "line 1 2 3 0 4", "12:30 2 3 0 4",
                               "1.5D3 2 3 0 4", "\x01 1 2 3 0 4", "\xe9 1 2 3 0 4"};
    std::string lines;
    for (int i = 0; i < 1000000; ++i) {
      if (i == 654321) lines += "100 200 7 0 3.5\n";
      lines += bad[i % 10] + "\n";
    }
    return lines;
  }();
  return text;
}

// A grid of the plane 0.01 x - 0.02 y + 3 around the three points.
TestGrid PlaneGrid() {
  TestGrid grid(41, 41, -1000, -1000, 50, 50);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int c = 0; c < grid.ncols; ++c) {
      grid.at(c, r) = 0.01 * (grid.xmin + c * grid.dx) - 0.02 * (grid.ymin + r * grid.dy) + 3;
    }
  }
  return grid;
}

constexpr std::size_t kGridFields = kSurfer7GridFields;  // rows, columns, xmin, ymin, dx, dy

std::string Surfer7With(std::size_t offset, double value) {
  std::string bytes = Surfer7Bytes(PlaneGrid());
  PutDouble(bytes, offset, value);
  return bytes;
}

// Counts whose product lies just below 2^32, of a file holding 20 nodes.
std::string Surfer7CountsNear2To32() {
  std::string bytes = Surfer7Bytes(TestGrid(5, 4, 0, 0, 1, 1));
  PutInt32(bytes, kGridFields, 65535);
  PutInt32(bytes, kGridFields + 4, 65536);
  return bytes;
}

std::string EsriCountsNear2To32() {
  return "ncols 65536\nnrows 65535\nxllcorner -1000\nyllcorner -1000\ncellsize 50\n"
         "NODATA_value -9999\n1 2 3 4 5 6 7 8\n";
}

std::string Surfer7DataLengthPastTheEnd() {
  std::string bytes = Surfer7Bytes(PlaneGrid());
  PutInt32(bytes, kSurfer7Data - 4, 2147483647);
  return bytes;
}

std::string GeosoftVectorCount2To31() {
  std::string bytes = GeosoftBytes(PlaneGrid(), {false, 0, 100});
  PutInt32(bytes, 12, 2147483647);
  return bytes;
}

std::string Surfer7SpacingNaN() { return Surfer7With(kGridFields + 24, kNaN); }
std::string Surfer7SpacingInfinite() { return Surfer7With(kGridFields + 32, kInfinity); }
std::string Surfer7SpacingTiny() {
  std::string bytes = Surfer7With(kGridFields + 24, 1e-300);
  PutDouble(bytes, kGridFields + 32, 1e-300);
  return bytes;
}

// Nodes of NaN, both infinities and a value beyond the float range around
// the first point: they are missing, like blank nodes.
std::string Surfer7ValuesNotFinite() {
  TestGrid grid = PlaneGrid();
  const double odd[] = {kNaN, kInfinity, -kInfinity, 1e300};
  for (int i = 0; i < 4; ++i) grid.at(19 + i % 2, 19 + i / 2) = odd[i];
  return Surfer7Bytes(grid, kSurferBlank);
}

// --- The runs ---------------------------------------------------------------

struct BadInputCase {
  const char* name;
  std::string (*survey)();
  std::string (*grid)();  // nullptr: point mode
  const char* radius;
  const char* band;  // point mode
  // What the user is told, as the window's log has it ("info: ...",
  // "message: Caption: ..."); $GRID stands for the grid's path.
  std::vector<std::string> told;
  int rows;  // rows of the table written; -1: none, the earlier one stays
  // Something in the table that must be there, or that must not.
  std::string present = "";
  std::vector<std::string> absent = {"nan", "inf"};
  // The note torvane-cli gives on the rows skipped, or a part of it.
  std::string skipped = "";
};

const BadInputCase kCases[] = {
    {"EmptyPointFile", [] { return std::string(); }, nullptr, "100", "10",
     {"info: Input file contains no valid xyz data"}, -1},
    {"BinaryPointFile", [] { return RandomBytes(1 << 20, 7); }, nullptr, "100", "10",
     {"info: Input file contains no valid xyz data"}, -1, "", {}, " rows skipped ("},
    {"OneValidLineAmongAMillionBadOnes", OneValidLineAmongAMillion, nullptr, "100", "10", {}, 1,
     "     100.0      200.0        7.0      3.500   0.000000          0\r\n"},
    {"NotANumberInfinityAndBeyondDoubleAreNoNumbers",
     [] {
       return std::string(
           "nan 0 1 0 5\ninf 0 2 0 5\n0 -inf 3 0 5\n1e309 0 4 0 5\n0 0 5 0 nan\n7 8 9 0 10\n");
     },
     nullptr, "100", "10", {}, 1, "       7.0        8.0        9.0     10.000", {"nan", "inf"},
     "5 rows skipped (NaN or infinite value: lines 1, 2, 3, 4, 5)"},
    {"CoordinatesOverflowingTheShift",
     [] { return std::string("1e308 0 1 0 5\n-1e308 0 2 0 7\n"); }, nullptr, "100", "10",
     {"info: Input file contains coordinates out of range"}, -1},
    {"CoordinatesNearTheDoubleRange",
     [] { return std::string("1e300 1e300 1 0 5\n-1e300 -1e300 2 0 7\n0 0 3 0 1\n"); }, nullptr,
     "1e300", "1e299", {}, 3, Fixed("%10.1f", 1e300) + " " + Fixed("%10.1f", 1e300)},
    // The ring sum of the first point leaves the double range; its mean,
    // 1.7e308 / 2, does not.
    {"CbaNearTheDoubleRange",
     [] {
       return std::string(
           "0 0 1 0 1e308\n100 0 2 0 1.7e308\n-100 0 3 0 1.7e308\n0 100 4 0 1.7e308\n"
           "0 -100 5 0 -1.7e308\n");
     },
     nullptr, "100", "10", {}, 5, " " + Fixed("%.6f", 1e308 - 1.7e308 / 2) + "          4\r\n",
     {"nan"}},
    // Without previews no cells are laid: a tiny radius costs no memory.
    // Each point's ring holds the point alone.
    {"RadiusTiny", ThreePoints, nullptr, "1e-300", "1e-300", {}, 3, "0.000000          1\r\n"},
    {"RadiusHuge", ThreePoints, nullptr, "1e300", "1e299", {}, 3, "0.000000          0\r\n"},
    {"GridCountsNear2To32", ThreePoints, Surfer7CountsNear2To32, "100", nullptr,
     {"message: Error: \nError by reading grid",
      "message: Error: $GRID: header says 65536 x 65535 nodes (34.4 GB), file holds 260 bytes"},
     3, "0.000000          0\r\n"},
    {"EsriCountsNear2To32", ThreePoints, EsriCountsNear2To32, "100", nullptr,
     {"message: Error: \nError by reading grid",
      "message: Error: $GRID: header says 65536 x 65535 nodes, file holds 103 bytes"},
     3, "0.000000          0\r\n"},
    {"Surfer7DataLengthPastTheEnd", ThreePoints, Surfer7DataLengthPastTheEnd, "100", nullptr, {},
     3, "          8\r\n"},
    {"GeosoftVectorCount2To31", ThreePoints, GeosoftVectorCount2To31, "100", nullptr,
     {"message: Error: \nError by reading grid $GRID"}, -1},
    {"GridSpacingNaN", ThreePoints, Surfer7SpacingNaN, "100", nullptr,
     {"message: Error: $GRID: x spacing nan is not finite"}, -1},
    {"GridSpacingInfinite", ThreePoints, Surfer7SpacingInfinite, "100", nullptr,
     {"message: Error: $GRID: y spacing inf is not finite"}, -1},
    {"GridSpacingTiny", ThreePoints, Surfer7SpacingTiny, "100", nullptr, {}, 3,
     "0.000000          0\r\n"},
    {"GridValuesNotFinite", ThreePoints, Surfer7ValuesNotFinite, "100", nullptr, {}, 3,
     "          6\r\n"},
    {"GridRadiusHuge", ThreePoints, [] { return Surfer7Bytes(PlaneGrid()); }, "1e300", nullptr, {},
     3, "0.000000          0\r\n"},
};

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

// The folder of one run: the survey, the grid and an earlier table.
struct RunFolder {
  TempDir dir;
  explicit RunFolder(const BadInputCase& c) {
    WriteFile(dir.File("survey.dat"), c.survey());
    if (c.grid != nullptr) WriteFile(dir.File("cba.grd"), c.grid());
    WriteFile(dir.File("table.dat"), kEarlierTable);
  }
  std::string Table() const { return ReadFile(dir.File("table.dat")); }

  // Nothing lost: a failed run keeps the earlier table, and no run leaves
  // anything beside its table.
  void ExpectOutcome(const BadInputCase& c, const std::vector<std::string>& before) const {
    EXPECT_EQ(dir.Entries(), before) << "no temporary file may be left";
    const std::string table = Table();
    if (c.rows < 0) {
      EXPECT_EQ(table, kEarlierTable);
      return;
    }
    EXPECT_EQ(Lines(table).size(), static_cast<std::size_t>(c.rows) + 1) << table.substr(0, 2000);
    EXPECT_NE(table.find(c.present), std::string::npos) << table.substr(0, 2000);
    for (const std::string& word : c.absent) {
      EXPECT_EQ(table.find(word), std::string::npos) << word << " in " << table.substr(0, 2000);
    }
  }
};

std::vector<std::string> Told(const BadInputCase& c, const std::string& grid_path) {
  std::vector<std::string> told;
  for (std::string message : c.told) {
    if (const auto at = message.find("$GRID"); at != std::string::npos) {
      message.replace(at, 5, grid_path);
    }
    told.push_back(message);
  }
  return told;
}

// What the window says when every point's ring is empty, in each mode.
constexpr const char* kEveryRingEmpty =
    "message: Warning: Every point has N = 0 and its residual was written as 0: there is no "
    "survey point at R +- D from any point. Check the band (+- D), the radius for search, and "
    "the coordinates' units (R and D are in metres).";
constexpr const char* kEveryGridRingEmpty =
    "message: Warning: Every point has N = 0 and its residual was written as 0: there is no "
    "sample of the grid on any point's ring. Check the radius for search, that the grid covers "
    "the points, and the coordinates' units (the radius is in metres).";

// The rows of a written table whose N is 0.
int EmptyRings(const std::string& table) {
  const std::vector<std::string> rows = Lines(table);
  int empty = 0;
  for (std::size_t i = 1; i < rows.size(); ++i) empty += rows[i].ends_with(" 0\r");
  return empty;
}

// The case's messages, and the warning when the table it wrote has no ring
// value at all.
std::vector<std::string> Expected(const BadInputCase& c, const RunFolder& folder) {
  std::vector<std::string> told = Told(c, folder.dir.File("cba.grd"));
  if (c.rows > 0 && EmptyRings(folder.Table()) == c.rows) {
    told.emplace_back(c.grid != nullptr ? kEveryGridRingEmpty : kEveryRingEmpty);
  }
  return told;
}

// The window's messages as torvane-cli prints them on stderr: one line
// each, naming the file a message is about, then the count of empty rings.
std::string AsPrinted(const std::vector<std::string>& told, const BadInputCase& c,
                      const RunFolder& folder) {
  std::string printed;
  for (const std::string& message : told) {
    std::string caption = "Torvane";
    std::string text = message.substr(message.find(": ") + 2);
    if (message.starts_with("message: ")) {
      caption = text.substr(0, text.find(": "));
      text = text.substr(caption.size() + 2);
    }
    while (!text.empty() && text.front() == '\n') text.erase(0, 1);
    std::string file;
    if (caption == "Warning") {
      file = "";
    } else if (text.starts_with("Input file")) {
      file = folder.dir.File("survey.dat");
    } else if (c.grid != nullptr) {
      file = folder.dir.File("cba.grd");
    }
    if (!file.empty() && text.find(file) == std::string::npos) text += ": " + file;
    printed += "torvane-cli: " + caption + ": " + text + "\n";
  }
  const int empty = c.rows > 0 ? EmptyRings(folder.Table()) : 0;
  if (empty > 0) {
    printed += "torvane-cli: Note: N = 0 for " + std::to_string(empty) + " of " +
               std::to_string(c.rows) + " points: no ring value, residual written as 0\n";
  }
  return printed;
}

class BadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadInput, InTheWindow) {
  const BadInputCase& c = GetParam();
  RunFolder folder(c);
  const auto before = folder.dir.Entries();
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, folder.dir.File("survey.dat"));
  platform.SetText(Control::txt_out, folder.dir.File("table.dat"));
  platform.SetText(Control::txt_rfs, c.radius);
  if (c.grid != nullptr) {
    platform.SetChecked(Control::chb_grd, true);
    platform.SetText(Control::txt_grd, folder.dir.File("cba.grd"));
    platform.SetText(Control::txt_n, "8");
  } else {
    platform.SetText(Control::txt_rfa, c.band);
  }
  form.btn_calcClick();

  EXPECT_EQ(platform.Messages(), Expected(c, folder));
  EXPECT_EQ(form.ResultsReady(), c.rows >= 0);
  EXPECT_TRUE(platform.Enabled(Control::btn_calc));
  folder.ExpectOutcome(c, before);
}

TEST_P(BadInput, ThroughTheBatchCommand) {
  const BadInputCase& c = GetParam();
  RunFolder folder(c);
  const auto before = folder.dir.Entries();
  std::vector<std::string> args = {"--input", folder.dir.File("survey.dat"), "--output",
                                   folder.dir.File("table.dat"), "--radius", c.radius, "--quiet"};
  if (c.grid != nullptr) {
    args.insert(args.end(), {"--grid", folder.dir.File("cba.grd"), "--ring-points", "8"});
  } else {
    args.insert(args.end(), {"--band", c.band});
  }
  CliResult run = RunCli(folder.dir, args);
  if (!c.skipped.empty()) {
    const std::string note = "torvane-cli: Note: " + folder.dir.File("survey.dat") + ": ";
    const std::size_t at = run.err.find(note);
    ASSERT_NE(at, std::string::npos) << run.err;
    const std::size_t end = run.err.find('\n', at);
    EXPECT_NE(run.err.substr(at, end - at).find(c.skipped), std::string::npos) << run.err;
    run.err.erase(at, end + 1 - at);
  }

  // The warnings on the units (R beyond the survey, coordinates that look
  // like degrees) are another test's matter.
  for (const std::string warning : {"torvane-cli: Warning: R = ",
                                    "torvane-cli: Warning: the coordinates look like degrees"}) {
    for (std::size_t at; (at = run.err.find(warning)) != std::string::npos;) {
      run.err.erase(at, run.err.find('\n', at) + 1 - at);
    }
  }
  // A grid that gave no point a ring value fails the run, though the table
  // is written.
  const bool no_grid_ring = c.grid != nullptr && c.rows > 0 && EmptyRings(folder.Table()) == c.rows;
  EXPECT_EQ(run.exit_code, c.rows >= 0 && !no_grid_ring ? 0 : 1);
  EXPECT_EQ(run.err, AsPrinted(Expected(c, folder), c, folder));
  folder.ExpectOutcome(c, before);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// --- The settings file ------------------------------------------------------

// Random bytes as a settings file, whole and cut to every shorter length:
// the window opens without a message, every list shows an entry it has,
// Calc is refused or fails with one message and writes nothing, and
// closing the window writes the settings back (or, for a stored number that
// is no number, says it cannot) without touching anything else.
TEST(BadSettingsFile, RandomBytesOfEveryLength) {
  const std::string random = RandomBytes(820, 11);
  TempDir dir;
  const std::string path = dir.File("torvane.cfg");
  for (std::size_t length = 0; length <= random.size(); ++length) {
    WriteFile(path, random.substr(0, length));
    ScriptedPlatform platform;
    TfrmMain form(platform);
    form.UseSettingsFile(path);
    form.ReadCfg();
    ASSERT_EQ(platform.Messages(), std::vector<std::string>{}) << length;
    for (const Control list : {Control::cb1, Control::cb2, Control::cmb_gx, Control::cmb_gy,
                               Control::cmb_point, Control::cmb_uba}) {
      const int index = platform.ItemIndex(list);
      ASSERT_TRUE(index >= 0 && index < static_cast<int>(ItemsOf(list).size()))
          << length << " " << ControlName(list);
    }
    // The paths are random text: no input file can be read.
    form.btn_calcClick();
    ASSERT_FALSE(form.ResultsReady()) << length;
    ASSERT_EQ(platform.Messages().size(), 1u) << length;

    platform.log.clear();
    form.FormClose();
    const std::vector<std::string> saved_or_not = platform.Messages();
    ASSERT_TRUE(saved_or_not.empty() ||
                saved_or_not == std::vector<std::string>{"message: Eror: Error by save config file"})
        << length;
    ASSERT_EQ(ReadFile(path).size(), saved_or_not.empty() ? 820u : length) << length;
    ASSERT_EQ(dir.Entries(), std::vector<std::string>{"torvane.cfg"}) << length;
  }
}

// The batch command refuses a settings file of random bytes with a message
// and writes nothing.
TEST(BadSettingsFile, RandomBytesThroughTheBatchCommand) {
  TempDir dir;
  for (const unsigned seed : {1u, 2u, 3u}) {
    WriteFile(dir.File("random.cfg"), RandomBytes(820, seed));
    const CliResult run = RunCli(dir, {"--config", dir.File("random.cfg"), "--quiet"});
    EXPECT_TRUE(run.exit_code == 1 || run.exit_code == 2) << run.exit_code;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"random.cfg"});
  }
}

}  // namespace
}  // namespace torvane::testing
