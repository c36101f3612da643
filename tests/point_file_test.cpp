// The point file's line grammar, read through ReadPointFile: which lines give
// a point, with which values, under '.' and ',' as the decimal separator.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "points/PointFileReader.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

using namespace std::string_literals;

struct Values {
  double x, y, point, cba;
  friend bool operator==(const Values&, const Values&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Values& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.point << ", " << v.cba << ")";
  }
};

struct GrammarCase {
  const char* name;
  char separator;
  std::string file;
  PointColumns columns;
  std::vector<Values> points;  // in file order; empty: "no valid xyz data"
  std::string skipped = "";    // what the front ends say of the rows skipped
};

const PointColumns kDefault{0, 1, 2, 4};

const GrammarCase kGrammar[] = {
    {"HeaderCommentsAndBlankLinesOnly", '.', "X Y POINT H CBA\n\n/ comment 1 2 3 4 5\n  \n",
     kDefault, {}},
    {"CommaTabAndSpacesSeparate", '.', "100,200\t5  0 3.2\n", kDefault, {{100, 200, 5, 3.2}}},
    // The file's decimal separator is found from the file: '.' decimals
    // read under every locale, ',' ones where ',' is the separator.
    {"CommaDecimalsWhereCommaIsTheSeparator", ',', "100 200 5 0 3,2\n100 200 6 0 -1,5\n",
     kDefault, {{100, 200, 5, 3.2}, {100, 200, 6, -1.5}}},
    {"PointDecimalsWhereCommaIsTheSeparator", ',', "1.5 2 3 0 4\n", kDefault, {{1.5, 2, 3, 4}}},
    {"PointDecimalsAndCommaFieldsWhereCommaIsTheSeparator", ',', "100,200\t5  0 3.2\n",
     kDefault, {{100, 200, 5, 3.2}}},
    {"CommaDecimalsWherePointIsTheSeparator", '.',
     "4278,48 2411,33 1 1214,5 -30,588\n1 2 3 0 4\n", kDefault, {{1, 2, 3, 4}},
     "1 row skipped (',' decimals: line 1)"},
    {"ThreeTokensSkippedEvenForColumnsAToC", '.', "1 2 3\n", {0, 1, 2, 2}, {},
     "1 row skipped (wrong number of fields: line 1)"},
    {"ColumnBeyondTheLastField", '.', "1 2 3 4\n", kDefault, {},
     "1 row skipped (no CBA: line 1)"},
    {"MissingOrExtraField", '.', "1 2 3 0 4\n1 2 3 0\n1 2 3 0 4 5\n5 6 7 0 8\n", kDefault,
     {{1, 2, 3, 4}, {5, 6, 7, 8}}, "2 rows skipped (wrong number of fields: lines 2, 3)"},
    {"NoColumnSelected", '.', "1 2 3 4 5\n", {-1, 1, 2, 4}, {}},
    {"PointLabelWithLetters", '.', "1 2 P12 0 5\n1 2 12 0 5\n", kDefault,
     {{1, 2, 0, 5}, {1, 2, 12, 5}}},
    {"PointsNumberedInFileOrder", '.', "X Y CBA\n10 20 5\n11 21 -6\n",
     {0, 1, kNumberedPoints, 2}, {{10, 20, 1, 5}, {11, 21, 2, -6}}},
    {"ValueNotParsedWhole", '.', "1 2 3 0 -3O.0\n1 2 3 0 4\n1 2y 3 0 4\n", kDefault,
     {{1, 2, 3, 4}}, "2 rows skipped (1 Y not a number: line 3; 1 CBA not a number: line 1)"},
    {"NanAndInfinity", '.', "1 2 3 0 nan\n1 -Inf 3 0 4\nNaN 2 3 0 4\n1 2 3 0 4\n", kDefault,
     {{1, 2, 3, 4}}, "3 rows skipped (NaN or infinite value: lines 1, 2, 3)"},
    {"AtMostFiveLinesNamed", '.', "X Y P H CBA\n1 2 3 0 x\n1 2 3 0 x\n1 2 3 0 x\n1 2 3 0 x\n"
     "1 2 3 0 x\n1 2 3 0 x\n1 2 3 0 4\n", kDefault, {{1, 2, 3, 4}},
     "6 rows skipped (CBA not a number: lines 2, 3, 4, 5, 6, ...)"},
    {"ExponentWithEButNotD", '.', "1.5E3 2 3 0 4\n1.5D3 2 3 0 4\n1 2e-1 3 0 4\n", kDefault,
     {{1500, 2, 3, 4}, {1, 0.2, 3, 4}}},
    {"ColonInXMakesNoData", '.', "12:30 2 3 0 4\n", kDefault, {}},
    {"ColonInAnUnusedColumn", '.', "1 2 3 12:30 4\n", kDefault, {{1, 2, 3, 4}}},
    {"TheWordLineInAnyCase", '.', "1 2 3 0 4 line\n1 2 3 0 4 Line\n5 6 7 0 8\n", kDefault,
     {{5, 6, 7, 8}}},
    {"DoubleQuote", '.', "1 2 3 0 4 \"\n5 6 7 0 8\n", kDefault, {{5, 6, 7, 8}}},
    {"SlashAfterSpaces", '.', "   / 1 2 3 0 4\n", kDefault, {}},
    {"LastLineWithoutLineFeed", '.', "1 2 3 0 4\n5 6 7 0 8", kDefault, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
    {"CrLfLineEnds", '.', "1 2 3 0 4\r\n5 6 7 0 8\r\n", kDefault, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
    {"LowerCaseExponent", '.', "1e2 2 3 0 4\n", kDefault, {{100, 2, 3, 4}}},
    {"SignsAndLeadingSpaces", '.', "  -1 +2 3 0 -4.25\n", kDefault, {{-1, 2, 3, -4.25}}},
    {"ControlCharacterFirst", '.', "\x01 1 2 3 0 4\n", kDefault, {}},
    {"HighByteFirst", '.', "\xe9 1 2 3 0 4\n", kDefault, {}},
    {"TextInAnUnselectedColumn", '.', "1 2 3 0 4 x\n", kDefault, {{1, 2, 3, 4}}},
    {"SameColumnTwice", '.', "7 8 9 0 10\n", {3, 3, 0, 4}, {{0, 0, 7, 10}}},
    {"BackspaceSeparates", '.', "1\b2 3 0 4\n", kDefault, {{1, 2, 3, 4}}},
    {"NulEndsTheLine", '.', "1 2 3 0 4\0 junk\n"s, kDefault, {{1, 2, 3, 4}}},
    {"NulInsideAToken", '.', "1 2 3 0 45\0x\n6 7 8 0 9\0\n"s, kDefault, {{1, 2, 3, 45}, {6, 7, 8, 9}}},
    // A carriage return inside a line separates fields; a quote or "LINE"
    // after it still makes a header.
    {"ReturnInsideALine", '.', "1 2\r3 0 4\n5 6 7 0 8\rnotes\n", kDefault, {{1, 2, 3, 4}},
     "1 row skipped (wrong number of fields: line 2)"},
    {"LineWordAfterAReturn", '.', "1 2 3 0 4\rline 7\n", kDefault, {}},
    {"QuoteAfterAReturn", '.', "1 2 3 0 4\r\"\n", kDefault, {}},
};

class PointFileGrammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(PointFileGrammar, AcceptsExactlyThePointLines) {
  const GrammarCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("survey.dat"), c.file);
  ScriptedPlatform platform(c.separator);
  PointSet points;
  const bool read = ReadPointFile(platform, dir.File("survey.dat"), c.columns, points);

  ASSERT_EQ(read, !c.points.empty());
  EXPECT_EQ(SkippedRowsText(points.skipped), c.skipped);
  if (c.points.empty()) {
    EXPECT_EQ(platform.Messages(),
              std::vector<std::string>{"info: Input file contains no valid xyz data"});
    EXPECT_EQ(points.count(), 0);
    return;
  }
  EXPECT_TRUE(platform.Messages().empty());
  std::vector<Values> got;
  for (const SurveyPoint& p : points.points) {
    got.push_back({p.x - points.shift_x, p.y - points.shift_y, p.point, p.cba});
    EXPECT_EQ(p.height, 0.0);
    EXPECT_EQ(p.residual, 0.0);
  }
  EXPECT_EQ(got, c.points);
}

INSTANTIATE_TEST_SUITE_P(Lines, PointFileGrammar, ::testing::ValuesIn(kGrammar),
                         [](const auto& row) { return std::string(row.param.name); });

// Negative coordinates are shifted to 0, each axis on its own; the box is
// that of the stored points.
TEST(PointFileReader, ShiftAndBoundingBox) {
  TempDir dir;
  WriteFile(dir.File("a.dat"), "-50 10 1 0 1\n150 30 2 0 2\n");
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(ReadPointFile(platform, dir.File("a.dat"), kDefault, points));
  EXPECT_EQ(points.shift_x, 50.0);
  EXPECT_EQ(points.shift_y, 0.0);
  EXPECT_EQ(points.points[0].x, 0.0);
  EXPECT_EQ(points.points[1].x, 200.0);
  EXPECT_EQ(points.points[1].y, 30.0);
  EXPECT_EQ(points.min_x, 0.0);
  EXPECT_EQ(points.max_x, 200.0);
  EXPECT_EQ(points.min_y, 10.0);
  EXPECT_EQ(points.max_y, 30.0);
}

// A line longer than any line buffer is one line: no piece of it can pass
// for a point of its own.
TEST(PointFileReader, LongLinesAreReadWhole) {
  TempDir dir;
  std::string long_comment = "X";
  while (long_comment.size() < 300) long_comment += " 1 2 3 0 4";  // a header with numbers
  std::string long_point = "1 2 3 0 4" + std::string(400, ' ') + "99\n";
  WriteFile(dir.File("a.dat"), long_comment + "\n" + long_point);
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(ReadPointFile(platform, dir.File("a.dat"), kDefault, points));
  ASSERT_EQ(points.count(), 1);
  EXPECT_EQ(points.points[0].cba, 4.0);
}

// A file of many megabytes is read in blocks, each split among threads; the
// points must come out complete and in file order, also around a line longer
// than a block.
TEST(PointFileReader, LargeFileReadInBlocksAndPieces) {
  TempDir dir;
  std::string text = "X Y POINT H CBA\n";
  std::vector<Values> expected;
  for (int i = 0; i < 300000; ++i) {
    if (i % 1000 == 7) text += "/ a comment between stations\n";
    // Nearly as long as a line may be (1 MiB), across the end of the first
    // block.
    if (i == 150000) text += "/" + std::string((1 << 20) - 2, 'x') + "\n";
    const Values v{i * 0.5 - 1000, 20000.25 - i, static_cast<double>(i + 1), (i % 977) * 0.125};
    char line[128];
    std::snprintf(line, sizeof line, "%.2f %.2f %d 0 %.3f%s", v.x, v.y, i + 1, v.cba,
                  i % 2 ? "\r\n" : "\n");
    text += line;
    expected.push_back(v);
  }
  WriteFile(dir.File("big.dat"), text);
  ScriptedPlatform platform;
  PointSet points;
  ASSERT_TRUE(ReadPointFile(platform, dir.File("big.dat"), kDefault, points))
      << ::testing::PrintToString(platform.Messages());
  ASSERT_EQ(points.count(), static_cast<int>(expected.size()));
  EXPECT_EQ(points.shift_x, 1000.0);
  EXPECT_EQ(points.shift_y, -expected.back().y);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const SurveyPoint& p = points.points[i];
    ASSERT_EQ((Values{p.x - points.shift_x, p.y - points.shift_y, p.point, p.cba}), expected[i])
        << "line " << i;
  }
  // A line longer than 1 MiB is no line of points: the file is refused.
  const std::size_t at = text.find("/xxx");
  text.insert(at, "xx");
  WriteFile(dir.File("big.dat"), text);
  ScriptedPlatform refused;
  EXPECT_FALSE(ReadPointFile(refused, dir.File("big.dat"), kDefault, points));
  EXPECT_EQ(refused.Messages(), std::vector<std::string>{"info: Cannot open input data file"});
}

TEST(PointFileReader, MissingFileAndFolder) {
  TempDir dir;
  for (const std::string& path : {dir.File("none.dat"), dir.path().string()}) {
    ScriptedPlatform platform;
    PointSet points;
    EXPECT_FALSE(ReadPointFile(platform, path, kDefault, points));
    EXPECT_EQ(platform.Messages(), std::vector<std::string>{"info: Cannot open input data file"});
  }
}

}  // namespace
}  // namespace torvane::testing
