// The five grid file formats: each read node for node, told apart by
// content alone, with the header rules, the missing-value rules and the
// files that must be declined.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "grid/GridFormat.h"
#include "grid/Gridimport.h"
#include "tests/GridWriters.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
const std::string kUnknownFormat = "message: Error: Unknown grid file format: ";
const std::string kReadError = "message: Error: \nError by reading grid";

// A 5 x 4 grid with fractions (exact in eighths), negative values and two
// missing nodes, one of them on the edge.
TestGrid SmallGrid() {
  TestGrid grid(5, 4, -250.5, 1000.25, 12.5, 7.75);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int c = 0; c < grid.ncols; ++c) grid.at(c, r) = (c - 2) * 3.125 + r * 10.375 - 1;
  }
  grid.at(3, 1) = kSurferBlank;
  grid.at(0, 3) = kSurferBlank;
  return grid;
}

// The messages without the one that follows "Error by reading grid" with
// what a short file's header says and what the file holds.
std::vector<std::string> SeedMessages(std::vector<std::string> messages) {
  std::erase_if(messages, [](const std::string& m) {
    return m.find(": header says ") != std::string::npos;
  });
  return messages;
}

struct GridFile {
  TempDir dir;
  ScriptedPlatform platform;
  TGridImport grid{platform};

  explicit GridFile(char separator = '.') : platform(separator) {}
  // Writes `content` as `name` and loads it.
  bool Load(const std::string& content, const std::string& name = "grid.dat") {
    WriteFile(dir.File(name), content);
    return grid.Load(dir.File(name));
  }
  std::string path(const std::string& name = "grid.dat") const { return dir.File(name); }
};

// Every node equals the written value in single precision, or is blank
// where the value was missing.
void ExpectNodes(const TGridImport& grid, const TestGrid& expected) {
  ASSERT_EQ(grid.ncols(), static_cast<std::uint32_t>(expected.ncols));
  ASSERT_EQ(grid.nrows(), static_cast<std::uint32_t>(expected.nrows));
  for (int r = 0; r < expected.nrows; ++r) {
    for (int c = 0; c < expected.ncols; ++c) {
      const double want = expected.at(c, r);
      const float got = grid.Node(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r));
      if (want >= 1e38) {
        EXPECT_EQ(got, kBlankNode) << "node " << c << "," << r;
      } else {
        EXPECT_EQ(got, static_cast<float>(want)) << "node " << c << "," << r;
      }
    }
  }
}

struct FormatCase {
  const char* name;
  const GridFormat* format;
  std::string (*write)(const TestGrid&);
  bool square_cells = false;  // the format has one cell size for x and y
};

const FormatCase kFormats[] = {
    {"Surfer7", &kSurfer7Format, [](const TestGrid& g) { return Surfer7Bytes(g); }},
    {"Surfer6", &kSurfer6Format, Surfer6Bytes},
    {"GeosoftRows", &kGeosoftFormat,
     [](const TestGrid& g) { return GeosoftBytes(g, {false, 0, 8}); }},
    {"GeosoftColumns", &kGeosoftFormat,
     [](const TestGrid& g) { return GeosoftBytes(g, {true, 0, 8}); }},
    {"SurferAscii", &kSurferAsciiFormat, SurferAsciiText},
    {"EsriAscii", &kEsriAsciiFormat, [](const TestGrid& g) { return EsriAsciiText(g); },
     true},
    {"EsriAsciiCentre", &kEsriAsciiFormat,
     [](const TestGrid& g) { return EsriAsciiText(g, -9999, {.centre = true}); }, true},
    {"EsriAsciiSpacings", &kEsriAsciiFormat,
     [](const TestGrid& g) { return EsriAsciiText(g, -9999, {.spacings = true}); }},
    {"EsriAsciiCentreAndSpacings", &kEsriAsciiFormat,
     [](const TestGrid& g) { return EsriAsciiText(g, -9999, {.centre = true, .spacings = true}); }},
    {"GeosoftFloatColumnsCompressed", &kGeosoftFormat,
     [](const TestGrid& g) {
       return GeosoftBytes(g, {.vectors_are_columns = true, .element_size = 4, .sign_flag = 2,
                               .vectors_per_block = 2});
     }},
};

class EachFormat : public ::testing::TestWithParam<FormatCase> {};

// Whatever the file is called: the content alone tells the format.
TEST_P(EachFormat, ReadNodeForNodeWhateverTheName) {
  const FormatCase& c = GetParam();
  TestGrid expected = SmallGrid();
  if (c.square_cells) expected.dy = expected.dx;
  for (const char* name : {"cba.grd", "cba.asc", "cba.txt", "cba"}) {
    GridFile file;
    ASSERT_TRUE(file.Load(c.write(expected), name)) << name;
    EXPECT_EQ(file.grid.format(), c.format);
    EXPECT_TRUE(file.grid.in_memory());
    EXPECT_TRUE(file.platform.Messages().empty());
    EXPECT_DOUBLE_EQ(file.grid.xmin(), expected.xmin);
    EXPECT_DOUBLE_EQ(file.grid.ymin(), expected.ymin);
    EXPECT_DOUBLE_EQ(file.grid.dx(), expected.dx);
    EXPECT_DOUBLE_EQ(file.grid.dy(), expected.dy);
    EXPECT_DOUBLE_EQ(file.grid.xmax(), expected.xmin + 4 * expected.dx);
    EXPECT_DOUBLE_EQ(file.grid.ymax(), expected.ymin + 3 * expected.dy);
    ExpectNodes(file.grid, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EachFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& row) { return std::string(row.param.name); });

struct GeosoftCase {
  const char* name;
  GeosoftOptions options;
};

// Every element type, by rows and by columns, plain and compressed (blocks
// of one vector, of several, and one block for all).
const GeosoftCase kGeosoftTypes[] = {
    {"SignedByte", {.base = 15, .multiplier = 4, .element_size = 1, .sign_flag = 1}},
    {"UnsignedByte", {.base = -20, .multiplier = 4, .element_size = 1, .sign_flag = 0}},
    {"SignedShort", {.base = 3, .multiplier = 8, .element_size = 2, .sign_flag = 1}},
    {"SignedLong", {.base = -7, .multiplier = 1e6, .element_size = 4, .sign_flag = 1}},
    {"UnsignedLong", {.base = -8, .multiplier = 1e6, .element_size = 4, .sign_flag = 0}},
    {"Float", {.multiplier = 1, .element_size = 4, .sign_flag = 2}},
    {"DoubleScaled", {.base = 2.5, .multiplier = 0.5, .element_size = 8, .sign_flag = 2}},
    {"FloatByColumns", {.vectors_are_columns = true, .element_size = 4, .sign_flag = 2}},
    {"ByteByColumns",
     {.vectors_are_columns = true, .base = 15, .multiplier = 4, .element_size = 1, .sign_flag = 1}},
    {"CompressedByte",
     {.base = 15, .multiplier = 4, .element_size = 1, .sign_flag = 1, .vectors_per_block = 1}},
    {"CompressedShort", {.multiplier = 8, .element_size = 2, .vectors_per_block = 3}},
    {"CompressedDoubleOneBlock", {.element_size = 8, .sign_flag = 2, .vectors_per_block = 99}},
    {"CompressedLongByColumns",
     {.vectors_are_columns = true, .multiplier = 8, .element_size = 4, .vectors_per_block = 2}},
};

class GeosoftTypes : public ::testing::TestWithParam<GeosoftCase> {};

// Node for node, in memory and (uncompressed) from the file; a compressed
// grid too big for memory is declined, saying so.
TEST_P(GeosoftTypes, EveryNodeWithItsTypesDummy) {
  const GeosoftOptions& options = GetParam().options;
  const TestGrid written = SmallGrid();
  const std::string bytes = GeosoftBytes(written, options);
  const TestGrid expected = GeosoftValues(written, options);
  GridFile file;
  ASSERT_TRUE(file.Load(bytes));
  EXPECT_EQ(file.grid.format(), &kGeosoftFormat);
  EXPECT_TRUE(file.platform.Messages().empty());
  EXPECT_DOUBLE_EQ(file.grid.xmin(), written.xmin);
  EXPECT_DOUBLE_EQ(file.grid.dy(), written.dy);
  ExpectNodes(file.grid, expected);

  ScriptedPlatform platform;
  TGridImport small(platform, 0);
  const bool accepted = small.Load(file.path());
  if (options.vectors_per_block > 0) {
    EXPECT_FALSE(accepted);
    EXPECT_EQ(platform.Messages(),
              std::vector<std::string>{"info: Grid is too big to fit in memory"});
  } else {
    ASSERT_TRUE(accepted);
    EXPECT_TRUE(small.on_disk());
    ExpectNodes(small, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Elements, GeosoftTypes, ::testing::ValuesIn(kGeosoftTypes),
                         [](const auto& row) { return std::string(row.param.name); });

// Damaged compressed grids and grids that are no plain values are declined,
// naming the file and the reason.
TEST(GeosoftGrid, DeclinedWithTheReason) {
  const std::string compressed =
      GeosoftBytes(SmallGrid(), {.element_size = 4, .sign_flag = 2, .vectors_per_block = 2});
  std::string stream_broken = compressed;
  stream_broken[stream_broken.size() - 10] ^= 0x55;
  std::string block_outside = compressed;
  PutInt32(block_outside, 512 + 16 + 8, 0x7fff0000);
  std::string rotated = GeosoftBytes(SmallGrid());
  PutDouble(rotated, 52, -30);
  std::string colours = GeosoftBytes(SmallGrid(), {.element_size = 4, .sign_flag = 3});
  struct Case {
    std::string bytes;
    std::string message;
  };
  for (const Case& c : {Case{stream_broken, kReadError + " "}, Case{block_outside, kReadError + " "},
                        Case{compressed.substr(0, 600), kReadError + " "},
                        Case{rotated, "message: Error: Geosoft grid is rotated by -30 degrees; "
                                      "only grids along the x and y axes are read: "},
                        Case{colours, "message: Error: Geosoft grid of colours or of an unknown "
                                      "element type (size 4, sign flag 3) is not supported: "}}) {
    GridFile file;
    EXPECT_FALSE(file.Load(c.bytes));
    EXPECT_EQ(file.platform.Messages(), std::vector<std::string>{c.message + file.path()});
    EXPECT_FALSE(file.grid.in_memory());
  }
}

// A path that cannot be opened: every reader says so, in the fixed order,
// and the grid stays empty.
TEST(GridOpening, FiveMessagesInReaderOrder) {
  for (const char* name : {"missing.grd", "folder"}) {
    GridFile file;
    std::filesystem::create_directory(file.path("folder"));
    EXPECT_FALSE(file.grid.Load(file.path(name)));
    const std::string error = "message: Error: Error by opening file " + file.path(name) + "\n";
    EXPECT_EQ(file.platform.Messages(),
              (std::vector<std::string>{error, error, error, error,
                                        "info: Error by opening file " + file.path(name)}));
    EXPECT_EQ(file.grid.format(), nullptr);
    EXPECT_TRUE(IsBlank(file.grid.Interpolate(0, 0)));
  }
}

// Files no reader takes; the user hears of it once.
TEST(GridOpening, UnknownFormat) {
  for (const std::string& content : {std::string(), std::string("X Y Z\n1 2 3\n"),
                                    std::string("DSR"), std::string("\x02\0\0\0", 4)}) {
    GridFile file;
    EXPECT_FALSE(file.Load(content));
    EXPECT_EQ(file.platform.Messages(), std::vector<std::string>{kUnknownFormat + file.path()});
    EXPECT_EQ(file.grid.format(), nullptr);
  }
}

struct HeaderCase {
  const char* name;
  std::string header;  // six lines, before the nodes of a 3 x 2 grid
  char separator;
  bool accepted;
  // Declined for a value the header holds: the message names it and why.
  // Declined without one: "Unknown grid file format".
  const char* reason = nullptr;
};

// The one message of a declined grid: the value and why, or the format
// unknown.
template <typename File>
void ExpectDeclined(File& file, const char* reason) {
  const std::vector<std::string> messages = file.platform.Messages();
  if (reason == nullptr) {
    EXPECT_EQ(messages, std::vector<std::string>{kUnknownFormat + file.path()});
    return;
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].starts_with("message: Error: " + file.path() + ": ")) << messages[0];
  EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];
}

constexpr const char* kEsriNodes = "1 2 3\n4 5 6\n";

const HeaderCase kEsriHeaders[] = {
    {"LowerCase", "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n",
     '.', true},
    {"Capitals", "NCOLS 3\nNROWS 2\nXLLCORNER 0\nYLLCORNER 0\nCELLSIZE 10\nNODATA_VALUE -1\n",
     '.', true},
    {"MixedCaseAndSpaces",
     "  ncols    3\r\nNRows 2\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 10 m\r\nNODATA_value -1\r\n",
     '.', true},
    {"CentreInsteadOfCorner",
     "ncols 3\nnrows 2\nxllcenter 0\nyllcenter 0\ncellsize 10\nnodata_value -1\n", '.', true},
    {"SpacingsInsteadOfCellsize",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ndx 10\ndy 20\nnodata_value -1\n", '.', true},
    {"CornerAndCentreMixed",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcenter 0\ncellsize 10\nnodata_value -1\n", '.', false},
    {"DxWithoutDy", "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ndx 10\nnodata_value -1\n",
     '.', false},
    {"DyBeforeDx",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ndy 10\ndx 10\nnodata_value -1\n", '.', false},
    {"NoNodataLine", "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 10\n", '.', false},
    {"LinesInAnotherOrder",
     "nrows 2\nncols 3\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n", '.', false},
    {"TabSeparated", "ncols\t3\nnrows\t2\nxllcorner\t0\nyllcorner\t0\ncellsize\t10\nnodata_value\t-1\n",
     '.', false},
    {"CommaLocaleDottedHeader",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0.5\nnodata_value -1\n", ',', false},
    {"CommaLocaleCommaHeader",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0,5\nnodata_value -1\n", ',', true},
    {"ZeroColumns", "ncols 0\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n",
     '.', false, "ncols 0 is not a count of nodes (1 to 2147483647)"},
    {"NegativeRows", "ncols 3\nnrows -2\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n",
     '.', false, "nrows -2 is not a count"},
    {"ZeroCellsize", "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0\nnodata_value -1\n",
     '.', false, "x spacing 0: the nodes would lie on one another"},
    {"HugeCellsize",
     "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1e308\nnodata_value -1\n", '.', false,
     "x spacing 1e+308 over 3 nodes reaches beyond the number range"},
    {"CountBeyondInt32",
     "ncols 3e9\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n", '.', false,
     "ncols 3000000000 is not a count"},
    {"QuotedKeyword",
     "\"ncols\" 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 10\nnodata_value -1\n", '.', false},
};

class EsriHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(EsriHeader, AcceptedOrDeclined) {
  const HeaderCase& c = GetParam();
  GridFile file(c.separator);
  const bool accepted = file.Load(c.header + kEsriNodes);
  EXPECT_EQ(accepted, c.accepted);
  if (!c.accepted) {
    ExpectDeclined(file, c.reason);
    return;
  }
  EXPECT_TRUE(file.platform.Messages().empty());
  EXPECT_EQ(file.grid.format(), &kEsriAsciiFormat);
  // Node values are read with '.', whatever the locale; 1 is the north-west.
  EXPECT_EQ(file.grid.Node(0, 1), 1.0f);
  EXPECT_EQ(file.grid.Node(2, 0), 6.0f);
}

INSTANTIATE_TEST_SUITE_P(Headers, EsriHeader, ::testing::ValuesIn(kEsriHeaders),
                         [](const auto& row) { return std::string(row.param.name); });

// The corner of the south-west cell lies half a cell outside its node; the
// first row of the file is the northernmost; values within 1e-6 of the
// marker are missing.
TEST(EsriAscii, NodesAtCellCentresNorthFirstMarkerTolerance) {
  GridFile file;
  ASSERT_TRUE(file.Load(
      "ncols 2\nnrows 2\nxllcorner 1000\nyllcorner 2000\ncellsize 50\nnodata_value -9999\n"
      "-9999.0000005 -9999.00001\n-9998.9999995 7.5\n"));
  EXPECT_DOUBLE_EQ(file.grid.xmin(), 1025);
  EXPECT_DOUBLE_EQ(file.grid.ymin(), 2025);
  EXPECT_DOUBLE_EQ(file.grid.xmax(), 1075);
  EXPECT_EQ(file.grid.Node(0, 1), kBlankNode);
  EXPECT_EQ(file.grid.Node(1, 1), static_cast<float>(-9999.00001));
  EXPECT_EQ(file.grid.Node(0, 0), kBlankNode);
  EXPECT_EQ(file.grid.Node(1, 0), 7.5f);
  EXPECT_TRUE(IsBlank(file.grid.Interpolate(1050, 2050))) << "a blank corner blanks the cell";
}

// The first ncols numbers fill the southernmost row; line breaks anywhere;
// header numbers in the locale's notation, nodes always with '.'.
TEST(SurferAscii, SouthRowFirstAndLocaleHeader) {
  const std::string nodes = "1 2\n3\n\n4 5 6\n";
  GridFile dotted;
  ASSERT_TRUE(dotted.Load("DSAA\n3 2\n0 1.5\n10 20\n1 6\n" + nodes));
  EXPECT_EQ(dotted.grid.Node(0, 0), 1.0f);
  EXPECT_EQ(dotted.grid.Node(2, 1), 6.0f);
  EXPECT_DOUBLE_EQ(dotted.grid.dx(), 0.75);
  EXPECT_DOUBLE_EQ(dotted.grid.dy(), 10);

  GridFile comma_rejects_dots(',');
  EXPECT_FALSE(comma_rejects_dots.Load("DSAA\n3 2\n0 1.5\n10 20\n1 6\n" + nodes));
  GridFile comma(',');
  ASSERT_TRUE(comma.Load("DSAA\n3 2\n0 1,5\n10 20\n1 6\n1.5 2 3 4 5 6\n"));
  EXPECT_EQ(comma.grid.Node(0, 0), 1.5f);
}

// Surfer ASCII headers that are declined, and the one too big for memory.
TEST(SurferAscii, DeclinedHeaders) {
  for (const auto& [header, reason] :
       {std::pair<const char*, const char*>{"DSA\n3 2\n0 1\n0 1\n0 1\n", nullptr},
        {"DSAA\n3\n0 1\n0 1\n0 1\n", nullptr},
        {"DSAA\n0 2\n0 1\n0 1\n0 1\n", "nx 0 is not a count"},
        {"DSAA\n3 2\n0 0\n0 1\n0 1\n", "x spacing 0:"},
        {"DSAA\n3 2\n0 1\nsouth north\n0 1\n", nullptr},
        {"DSAA\n-3 2\n0 1\n0 1\n0 1\n", "nx -3 is not a count"}}) {
    GridFile file;
    EXPECT_FALSE(file.Load(std::string(header) + "1 2 3 4 5 6\n")) << header;
    ExpectDeclined(file, reason);
  }
}

// Data that end early or hold something that is no number: what was read
// stays, the rest is blank, the user is told, the file is taken.
TEST(AsciiGrids, ShortOrBadDataLeaveTheRestBlank) {
  struct Case {
    std::string text;
    const GridFormat* format;
  };
  const std::string esri = "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nnodata_value -1\n";
  for (const Case& c : {Case{"DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4", &kSurferAsciiFormat},
                        Case{"DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4 x 6", &kSurferAsciiFormat},
                        Case{"DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4 5,5 6", &kSurferAsciiFormat},
                        Case{esri + "1 2 3 4", &kEsriAsciiFormat},
                        Case{esri + "1 2 3 4 5.5.5 6", &kEsriAsciiFormat}}) {
    GridFile file;
    ASSERT_TRUE(file.Load(c.text)) << c.text;
    EXPECT_EQ(file.grid.format(), c.format);
    EXPECT_EQ(SeedMessages(file.platform.Messages()), std::vector<std::string>{kReadError});
    const std::uint32_t first_row = c.format == &kSurferAsciiFormat ? 0 : 1;
    EXPECT_EQ(file.grid.Node(0, first_row), 1.0f);
    EXPECT_EQ(file.grid.Node(0, 1 - first_row), 4.0f);
    EXPECT_EQ(file.grid.Node(1, 1 - first_row), kBlankNode);
    EXPECT_EQ(file.grid.Node(2, 1 - first_row), kBlankNode);
  }
}

// Text of several megabytes is read by the threads in pieces: every node
// lands in its place, and a token that is no number stops the reading there
// even when a later piece also holds one (the rest is blank).
TEST(AsciiGrids, LargeTextReadInPiecesStopsAtTheFirstBadValue) {
  constexpr std::uint32_t kColumns = 700, kRows = 650;
  constexpr std::uint64_t kCount = std::uint64_t{kColumns} * kRows;
  const auto value = [](std::uint64_t i) { return static_cast<float>(i % 1000) * 0.25f - 100; };
  const std::string esri = "ncols 700\nnrows 650\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                           "nodata_value -99999\n";
  for (const bool surfer : {true, false}) {
    for (const std::uint64_t bad : {kCount, kCount * 3 / 4 + 5}) {
      std::string text = surfer ? "DSAA\n700 650\n0 699\n0 649\n-100 150\n" : esri;
      char number[32];
      for (std::uint64_t i = 0; i < kCount; ++i) {
        const bool spoilt = i == bad || (bad < kCount && i == kCount - 9);
        std::snprintf(number, sizeof number, "%.2f", static_cast<double>(value(i)));
        text += spoilt ? "x" : number;
        text += i % 13 == 12 ? "\r\n" : " ";  // lines that are not the grid's rows
      }
      GridFile file;
      ASSERT_TRUE(file.Load(text));
      ASSERT_EQ(file.grid.ncols(), kColumns);
      EXPECT_EQ(SeedMessages(file.platform.Messages()),
                bad < kCount ? std::vector<std::string>{kReadError} : std::vector<std::string>{});
      for (std::uint64_t i = 0; i < kCount; ++i) {
        const auto c = static_cast<std::uint32_t>(i % kColumns);
        const auto row = static_cast<std::uint32_t>(i / kColumns);
        const float got = file.grid.Node(c, surfer ? row : kRows - 1 - row);
        ASSERT_EQ(got, i < bad ? value(i) : kBlankNode) << (surfer ? "Surfer " : "ESRI ") << i;
      }
    }
  }
}

// Node values that no float can hold, or that are not numbers, are blank.
TEST(AsciiGrids, ValuesBeyondFloatOrNotNumbersAreBlank) {
  GridFile file;
  ASSERT_TRUE(file.Load("DSAA\n6 1\n0 5\n0 0\n0 1\n1e39 -1e39 nan -inf 1.70141e+038 +2.5\n"));
  for (std::uint32_t c = 0; c < 5; ++c) EXPECT_EQ(file.grid.Node(c, 0), kBlankNode) << c;
  EXPECT_EQ(file.grid.Node(5, 0), 2.5f);
}

// Missing elements, the value formula, the multiplier 0, and both vector
// orientations giving one node matrix.
TEST(Geosoft, MissingElementsScalingAndOrientation) {
  TestGrid grid(4, 1, 0, 0, 1, 1);
  grid.values = {0, 0, 0, 0};
  std::string bytes = GeosoftBytes(grid, {false, 100, 10});
  for (const auto& [index, raw] : {std::pair{0, -32768}, {1, -32767}, {2, -32766}, {3, 250}}) {
    PutInt16(bytes, kGeosoftData + 2 * static_cast<std::size_t>(index),
             static_cast<std::int16_t>(raw));
  }
  GridFile file;
  ASSERT_TRUE(file.Load(bytes));
  EXPECT_EQ(file.grid.Node(0, 0), kBlankNode);
  EXPECT_EQ(file.grid.Node(1, 0), kBlankNode);
  EXPECT_EQ(file.grid.Node(2, 0), static_cast<float>(-32766 / 10.0 + 100));
  EXPECT_EQ(file.grid.Node(3, 0), 125.0f);

  PutDouble(bytes, 68, 0.0);  // the multiplier
  GridFile zero_multiplier;
  ASSERT_TRUE(zero_multiplier.Load(bytes));
  EXPECT_EQ(zero_multiplier.grid.Node(3, 0), 350.0f) << "a multiplier of 0 counts as 1";

  const TestGrid small = SmallGrid();
  GridFile rows;
  GridFile columns;
  ASSERT_TRUE(rows.Load(GeosoftBytes(small, {false, -2, 8})));
  ASSERT_TRUE(columns.Load(GeosoftBytes(small, {true, -2, 8})));
  ASSERT_EQ(columns.grid.ncols(), 5u);
  for (std::uint32_t c = 0; c < 5; ++c) {
    for (std::uint32_t r = 0; r < 4; ++r) EXPECT_EQ(rows.grid.Node(c, r), columns.grid.Node(c, r));
  }
}

// A Geosoft grid is not read in part: data cut short decline the file.
TEST(Geosoft, ShortDataDeclined) {
  std::string bytes = GeosoftBytes(SmallGrid());
  bytes.resize(bytes.size() - 1);
  GridFile file;
  EXPECT_FALSE(file.Load(bytes));
  EXPECT_EQ(file.platform.Messages(),
            std::vector<std::string>{"message: Error: \nError by reading grid " + file.path()});
  // Counts whose product overflows 32 bits: the data can never be there.
  PutInt32(bytes, 8, 70000);
  PutInt32(bytes, 12, 70000);
  GridFile huge;
  EXPECT_FALSE(huge.Load(bytes));
  EXPECT_EQ(huge.platform.Messages().size(), 1u);
}

TEST(Surfer7, HeaderOnlyIsAnEmptyGrid) {
  GridFile file;
  ASSERT_TRUE(file.Load(Surfer7Bytes(SmallGrid()).substr(0, 12)));
  EXPECT_EQ(file.grid.format(), &kSurfer7Format);
  EXPECT_TRUE(file.platform.Messages().empty());
  EXPECT_EQ(file.grid.ncols(), 0u);
  EXPECT_FALSE(file.grid.in_memory());
  EXPECT_TRUE(IsBlank(file.grid.Interpolate(-250.5, 1000.25)));
}

// Nodes equal to the file's own blank value are blank, whatever it is.
TEST(Surfer7, FileBlankValueMarksMissingNodes) {
  const TestGrid grid = SmallGrid();
  GridFile file;
  ASSERT_TRUE(file.Load(Surfer7Bytes(grid, -99999)));
  EXPECT_DOUBLE_EQ(file.grid.blank_value(), -99999);
  ExpectNodes(file.grid, grid);
}

// A grid section without a data section: every node blank, nothing said.
// A data section cut short: the rows read stay, the rest is blank.
TEST(Surfer7, MissingOrShortData) {
  const std::string bytes = Surfer7Bytes(SmallGrid());
  GridFile no_data;
  ASSERT_TRUE(no_data.Load(bytes.substr(0, kSurfer7Data - 8)));
  EXPECT_TRUE(no_data.platform.Messages().empty());
  EXPECT_EQ(no_data.grid.ncols(), 5u);
  EXPECT_EQ(no_data.grid.Node(0, 0), kBlankNode);

  // An unknown section between the header and the grid is passed over.
  std::string with_extra = bytes.substr(0, 12) + "ABCD" + std::string("\x04\0\0\0xyzw", 8) +
                           bytes.substr(12);
  GridFile extra;
  ASSERT_TRUE(extra.Load(with_extra));
  ExpectNodes(extra.grid, SmallGrid());

  GridFile short_data;
  ASSERT_TRUE(short_data.Load(bytes.substr(0, kSurfer7Data + 8 * 5 * 2 + 12)));
  EXPECT_EQ(SeedMessages(short_data.platform.Messages()), std::vector<std::string>{kReadError});
  EXPECT_EQ(short_data.grid.Node(1, 1), static_cast<float>(SmallGrid().at(1, 1)));
  EXPECT_EQ(short_data.grid.Node(1, 2), kBlankNode);
}

TEST(Surfer6, ShortData) {
  const std::string bytes = Surfer6Bytes(SmallGrid());
  GridFile file;
  ASSERT_TRUE(file.Load(bytes.substr(0, bytes.size() - 1)));
  EXPECT_EQ(SeedMessages(file.platform.Messages()), std::vector<std::string>{kReadError});
  EXPECT_EQ(file.grid.Node(4, 2), static_cast<float>(SmallGrid().at(4, 2)));
  EXPECT_EQ(file.grid.Node(4, 3), kBlankNode);
}

// Untrusted headers: counts, spacings and extents that make no grid are
// declined before anything is allocated or read.
struct MalformedCase {
  const char* name;
  std::string (*make)();
  const char* reason = nullptr;  // as HeaderCase's
};

// A written grid with one field changed.
std::string WithDouble(std::string bytes, std::size_t offset, double value) {
  PutDouble(bytes, offset, value);
  return bytes;
}
std::string WithInt32(std::string bytes, std::size_t offset, std::int32_t value) {
  PutInt32(bytes, offset, value);
  return bytes;
}
std::string WithInt16(std::string bytes, std::size_t offset, std::int16_t value) {
  PutInt16(bytes, offset, value);
  return bytes;
}
std::string Surfer7() { return Surfer7Bytes(SmallGrid()); }
std::string Surfer6() { return Surfer6Bytes(SmallGrid()); }
std::string Geosoft() { return GeosoftBytes(SmallGrid()); }
constexpr std::size_t kRows7 = kSurfer7GridFields;  // then columns, xmin, ymin, dx, dy

const MalformedCase kMalformed[] = {
    {"Surfer7ZeroRows", [] { return WithInt32(Surfer7(), kRows7, 0); },
     "nRow 0 is not a count"},
    {"Surfer7NegativeColumns", [] { return WithInt32(Surfer7(), kRows7 + 4, -5); },
     "nCol -5 is not a count"},
    {"Surfer7ZeroSpacing", [] { return WithDouble(Surfer7(), kRows7 + 24, 0.0); },
     "x spacing 0:"},
    {"Surfer7SpacingNaN", [] { return WithDouble(Surfer7(), kRows7 + 32, kNaN); },
     "y spacing nan is not finite"},
    {"Surfer7OriginInfinite", [] { return WithDouble(Surfer7(), kRows7 + 8, kInfinity); },
     "x origin inf is not finite"},
    {"Surfer7GridSectionCut", [] { return Surfer7().substr(0, 60); }},
    {"Surfer6CountsMinusOne", [] { return WithInt16(WithInt16(Surfer6(), 4, -1), 6, -1); },
     "nx -1 is not a count"},
    {"Surfer6ZeroRows", [] { return WithInt16(Surfer6(), 6, 0); },
     "ny 0 is not a count"},
    {"Surfer6EqualExtents", [] { return WithDouble(Surfer6(), 16, -250.5); },
     "x spacing 0:"},
    {"Surfer6ExtentInfinite", [] { return WithDouble(Surfer6(), 32, kInfinity); },
     "y spacing inf is not finite"},
    {"Surfer6ExtentNaN", [] { return WithDouble(Surfer6(), 8, kNaN); },
     "x origin nan is not finite"},
    {"Surfer6HeaderCut", [] { return Surfer6().substr(0, 40); }},
    {"GeosoftZeroElements", [] { return WithInt32(Geosoft(), 8, 0); },
     "elements 0 is not a count"},
    {"GeosoftNegativeVectors", [] { return WithInt32(Geosoft(), 12, -4); },
     "vectors -4 is not a count"},
    {"GeosoftZeroSpacing", [] { return WithDouble(Geosoft(), 20, 0.0); },
     "x spacing 0:"},
    {"GeosoftBaseNaN", [] { return WithDouble(Geosoft(), 60, kNaN); }},
    {"GeosoftMultiplierInfinite", [] { return WithDouble(Geosoft(), 68, kInfinity); }},
    {"GeosoftHeaderCut", [] { return Geosoft().substr(0, 70); }},
    {"GeosoftThreeByteElements", [] { return WithInt32(Geosoft(), 0, 3); }},
    {"GeosoftCompressedThreeByteElements", [] { return WithInt32(Geosoft(), 0, 1027); }},
};

class MalformedHeader : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedHeader, DeclinedAsUnknown) {
  GridFile file;
  EXPECT_FALSE(file.Load(GetParam().make()));
  ExpectDeclined(file, GetParam().reason);
  EXPECT_FALSE(file.grid.in_memory());
  EXPECT_TRUE(IsBlank(file.grid.Interpolate(-250.5, 1000.25)));
}

INSTANTIATE_TEST_SUITE_P(Headers, MalformedHeader, ::testing::ValuesIn(kMalformed),
                         [](const auto& row) { return std::string(row.param.name); });

// A header claiming far more nodes than its file holds: only the rows the
// file reaches are kept, nothing is read outside the file, and a file that
// reaches fewer than two rows keeps no nodes at all (no cell could have a
// value), neither in memory nor on disk. The file is taken, the user told.
struct HugeClaimCase {
  const char* name;
  std::string content;
  std::uint32_t kept_rows;  // 0: no nodes
};

const HugeClaimCase kHugeClaims[] = {
    {"Surfer7", WithInt32(WithInt32(Surfer7(), kRows7, 2147483647), kRows7 + 4, 2147483647), 0},
    {"Surfer7RowsOnly", WithInt32(Surfer7(), kRows7, 2147483647), 4},
    {"Surfer6", WithInt16(WithDouble(Surfer6(), 32, 1e6), 6, 32767), 4},
    {"SurferAscii", "DSAA\n2000000000 2000000000\n0 1\n0 1\n0 1\n1 2 3\n", 0},
    {"SurferAsciiOneLongRow", "DSAA\n2000000000 1\n0 1\n0 1\n0 1\n1 2 3\n", 0},
    {"EsriAscii", "ncols 4\nnrows 2000000000\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                  "nodata_value -1\n1 2 3 4 5 6 7 8 9\n", 3},
};

class UntrustedHeaders : public ::testing::TestWithParam<HugeClaimCase> {};

TEST_P(UntrustedHeaders, HugeCountsOfATinyFile) {
  const HugeClaimCase& c = GetParam();
  GridFile file;
  ASSERT_TRUE(file.Load(c.content));
  const std::vector<std::string> messages = file.platform.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], kReadError);
  EXPECT_TRUE(messages[1].starts_with("message: Error: " + file.path() + ": header says "))
      << messages[1];
  EXPECT_FALSE(file.grid.on_disk());
  EXPECT_EQ(file.grid.in_memory(), c.kept_rows > 0);
  if (c.kept_rows > 0) {
    EXPECT_EQ(file.grid.nrows(), c.kept_rows);
  }
  EXPECT_EQ(file.grid.Node(2147483646, 2147483646), kBlankNode);
}

INSTANTIATE_TEST_SUITE_P(Claims, UntrustedHeaders, ::testing::ValuesIn(kHugeClaims),
                         [](const auto& row) { return std::string(row.param.name); });

// An ESRI grid lists its rows from the north: a file cut short keeps the
// northern rows, where they lie.
TEST(UntrustedHeaders, EsriFileCutShortKeepsItsNorthernRows) {
  GridFile file;
  ASSERT_TRUE(file.Load("ncols 2\nnrows 1000\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                        "nodata_value -1\n1 2\n3 4\n"));
  ASSERT_EQ(file.grid.nrows(), 2u);  // at most 4 numbers in 8 characters
  EXPECT_DOUBLE_EQ(file.grid.ymin(), 998.5);
  EXPECT_DOUBLE_EQ(file.grid.ymax(), 999.5);
  EXPECT_EQ(file.grid.Node(0, 1), 1.0f);
  EXPECT_EQ(file.grid.Node(1, 0), 4.0f);
  // t = 0.25, u = 0.75 in the cell of corners 3, 4 (south) and 1, 2 (north).
  EXPECT_DOUBLE_EQ(file.grid.Interpolate(0.75, 999.25),
                   0.75 * 0.25 * 3 + 0.25 * 0.25 * 4 + 0.25 * 0.75 * 2 + 0.75 * 0.75 * 1);
}

}  // namespace
}  // namespace torvane::testing
