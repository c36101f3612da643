// torvane-cli --preview-cba / --preview-residual: the pictures saved after
// the run, in the format their names ask for.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/ProgramRun.h"
#include "tests/PictureDecoding.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

constexpr const char* kSurvey =
    "0 0 1 0 1\n100 0 2 0 3\n200 0 3 0 2\n0 100 4 0 6\n100 100 5 0 4\n200 100 6 0 9\n";

std::vector<std::string> Args(const TempDir& dir, std::vector<std::string> more) {
  std::vector<std::string> args = {"--input", dir.File("in.dat"), "--output", dir.File("t.dat"),
                                   "--radius", "100", "--band", "10", "--quiet"};
  for (std::string& arg : more) args.push_back(arg.starts_with("--") ? arg : dir.File(arg));
  return args;
}

TEST(PreviewCli, SavesBothPicturesInTheFormatsTheirNamesAskFor) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kSurvey);
  const CliResult run =
      RunCli(dir, Args(dir, {"--preview-cba", "cba.BMP", "--preview-residual", "res.Jpeg"}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const DecodedPicture cba = DecodeBitmap(ReadFile(dir.File("cba.BMP")));
  ASSERT_TRUE(cba.ok);
  EXPECT_EQ(cba.width, 177);
  EXPECT_EQ(cba.height, 145);
  EXPECT_TRUE(HasBlackFrame(cba, 0));
  // 3 x 2 nodes 100 m apart span 300 x 200 m: 177 x 118 pixels of 1.69 m
  // from the south-west corner; the rows above stay white.
  EXPECT_EQ(cba.At(20, 144 - 118), kWhite);
  EXPECT_NE(cba.At(20, 144 - 117), kWhite);
  const DecodedPicture residual = DecodeJpeg(ReadFile(dir.File("res.Jpeg")));
  ASSERT_TRUE(residual.ok);
  EXPECT_EQ(residual.width, 177);
  EXPECT_EQ(residual.height, 145);
  EXPECT_TRUE(HasBlackFrame(residual, 60));
  EXPECT_TRUE(std::filesystem::exists(dir.File("t.dat")));
}

TEST(PreviewCli, EitherPictureAlone) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kSurvey);
  ASSERT_EQ(RunCli(dir, Args(dir, {"--preview-residual", "r.jpg"})).exit_code, 0);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dat", "r.jpg", "t.dat"}));
}

struct BadPictureCase {
  const char* name;
  std::vector<std::string> flags;
  const char* stderr_part;
};

const BadPictureCase kBadPictures[] = {
    {"PngIsNoFormatOfOurs", {"--preview-cba", "cba.png"}, "--preview-cba"},
    {"NoExtension", {"--preview-residual", "residual"}, "--preview-residual"},
    {"DotInAFolderName", {"--preview-cba", "pictures.jpg/cba"}, "--preview-cba"},
};

class PreviewCliUsage : public ::testing::TestWithParam<BadPictureCase> {};

// Refused before the run: no table, no picture.
TEST_P(PreviewCliUsage, ExitTwoBeforeTheRun) {
  const BadPictureCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("in.dat"), kSurvey);
  const CliResult run = RunCli(dir, Args(dir, c.flags));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find(c.stderr_part), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(".bmp, .jpg or .jpeg"), std::string::npos) << run.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dat"});
}

INSTANTIATE_TEST_SUITE_P(Names, PreviewCliUsage, ::testing::ValuesIn(kBadPictures),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PreviewCli, PictureThatCannotBeWrittenFailsTheCommand) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kSurvey);
  const CliResult run = RunCli(dir, Args(dir, {"--preview-cba", "no/cba.bmp"}));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("Cannot create file \"" + dir.File("no/cba.bmp") + "\""),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("t.dat"))) << "the table is written all the same";
}

}  // namespace
}  // namespace torvane::testing
