// Names as a file system takes them: bytes that are not UTF-8 (a Latin-1
// "café") in the survey's or the grid's name, which a map's title shows,
// and names up to the file system's longest, whose temporary file must
// still fit.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/ChildProcess.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

constexpr const char* kSurvey = "0 0 1 0 10\n50 0 2 0 4\n0 50 3 0 6\n50 50 4 0 8\n25 25 5 0 7\n";

struct NameCase {
  const char* name;
  std::vector<std::string> args;
  std::string output;  // must exist afterwards
};

const std::string kLatin1 = "caf\xe9";
const std::string kLong(246, 'n');  // with ".dat": 250 bytes

const NameCase kCases[] = {
    {"Latin1SurveyPng", {"--input", kLatin1 + ".dat", "--output", "t.dat", "--radius", "60",
                         "--band", "30", "--map-residual", kLatin1 + ".png"},
     kLatin1 + ".png"},
    {"Latin1SurveySvg", {"--input", kLatin1 + ".dat", "--output", "t.dat", "--radius", "60",
                         "--band", "30", "--map-cba", "m.svg"},
     "m.svg"},
    {"Latin1SurveyPdf", {"--input", kLatin1 + ".dat", "--output", "t.dat", "--radius", "60",
                         "--band", "30", "--map-cba", "m.pdf"},
     "m.pdf"},
    {"Latin1GridMap", {"map", kLatin1 + ".grd", "g.svg"}, "g.svg"},
    {"Latin1Title", {"map", "g.grd", "t.pdf", "--title", "Gravit\xe9 \xff"}, "t.pdf"},
    {"LongTableName", {"--input", "s.dat", "--output", kLong + ".dat", "--radius", "60",
                       "--band", "30"},
     kLong + ".dat"},
    {"LongMapName", {"--input", "s.dat", "--output", "t.dat", "--radius", "60", "--band", "30",
                     "--map-cba", kLong + ".png"},
     kLong + ".png"},
    {"LongConvertName", {"convert", "g.grd", kLong + ".grd"}, kLong + ".grd"},
    {"LongestSweepNames", {"sweep", "--input", "s.dat", "--output", std::string(251, 'w') + ".dat",
                           "--radii", "60", "--band", "30", "--curve",
                           std::string(251, 'c') + ".csv"},
     std::string(251, 'c') + ".csv"},
};

class FileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileName, Written) {
  const NameCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("s.dat"), kSurvey);
  WriteFile(dir.File(kLatin1 + ".dat"), kSurvey);
  std::filesystem::copy_file(SourceDir() + "/data/sample_cba.grd", dir.File("g.grd"));
  std::filesystem::copy_file(SourceDir() + "/data/sample_cba.grd", dir.File(kLatin1 + ".grd"));
  const auto before = dir.Entries().size();
  const ChildOutcome run = RunChild(TORVANE_CLI, c.args, dir.path().string());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  ASSERT_TRUE(std::filesystem::exists(dir.File(c.output))) << run.err;
  EXPECT_GT(std::filesystem::file_size(dir.File(c.output)), 100u);
  for (const std::string& entry : dir.Entries()) {
    EXPECT_EQ(entry.find(".tmp-"), std::string::npos) << "temporary left: " << entry;
  }
  EXPECT_GT(dir.Entries().size(), before);
}

INSTANTIATE_TEST_SUITE_P(Names, FileName, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
