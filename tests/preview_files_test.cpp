// Saving the pictures: the save buttons with SaveDialog2, the format chosen
// by the filter, and the files read back (bitmap by a plain reader, JPEG by
// libjpeg) with exactly the picture on screen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/PictureDecoding.h"
#include "tests/PreviewRun.h"

namespace torvane::testing {
namespace {

constexpr const char* kSurvey =
    "0 0 1 0 1\n100 0 2 0 3\n200 0 3 0 2\n0 100 4 0 6\n100 100 5 0 4\n200 100 6 0 9\n"
    "0 200 7 0 5\n100 200 8 0 8\n200 200 9 0 7\n";

struct SaveRun : PreviewRun {
  explicit SaveRun(bool preview = true, bool run = true) : PreviewRun(kSurvey) {
    platform.SetChecked(Control::cb_preview, preview);
    if (run) form.btn_calcClick();
    platform.log.clear();
  }
};

// Every pixel as on screen.
void ExpectSamePicture(const DecodedPicture& file, const RgbCanvas& screen) {
  ASSERT_TRUE(file.ok);
  ASSERT_EQ(file.width, 177);
  ASSERT_EQ(file.height, 145);
  for (int y = 0; y < 145; ++y) {
    for (int x = 0; x < 177; ++x) ASSERT_EQ(file.At(x, y), screen.Pixel(x, y)) << x << "," << y;
  }
}

TEST(PreviewSave, BitmapThroughTheDialogIsThePictureOnScreen) {
  SaveRun run;
  ASSERT_TRUE(run.form.ResultsReady());
  run.Answer("left.bmp", 1);
  run.form.btn_save1Click();
  ASSERT_EQ(run.platform.dialogs_shown.size(), 1u);
  const auto& [dialog, shown] = run.platform.dialogs_shown[0];
  EXPECT_EQ(dialog, FileDialog::SaveDialog2);
  EXPECT_EQ(shown.file_name, "cba.bmp");
  EXPECT_EQ(shown.filter, "Windows bitmap (*.bmp)|*.bmp|Jpeg files (*.jpg)|*.jpg");
  EXPECT_EQ(shown.default_extension, "bmp");
  EXPECT_EQ(shown.filter_index, 1);

  const DecodedPicture file = DecodeBitmap(run.File("left.bmp"));
  EXPECT_EQ(file.bits_per_pixel, 24);
  EXPECT_TRUE(HasBlackFrame(file, 0));
  ExpectSamePicture(file, run.platform.picture(Control::img_uba));
  EXPECT_TRUE(run.platform.Messages().empty());
}

TEST(PreviewSave, JpegFilterWritesJpegWhateverTheName) {
  SaveRun run;
  run.Answer("torvane.bmp", 2);
  run.form.btn_save2Click();
  ASSERT_EQ(run.platform.dialogs_shown.size(), 1u);
  EXPECT_EQ(run.platform.dialogs_shown[0].second.file_name, "torvane.bmp");

  const std::string bytes = run.File("torvane.bmp");
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8") << "JPEG data under the .bmp name";
  EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos) << "a baseline frame";
  const DecodedPicture file = DecodeJpeg(bytes);
  ASSERT_TRUE(file.ok);
  EXPECT_EQ(file.width, 177);
  EXPECT_EQ(file.height, 145);
  EXPECT_EQ(file.components, 3) << "colour";
  EXPECT_FALSE(file.progressive);
  EXPECT_TRUE(HasBlackFrame(file, 60));
  // Lossy, but close to the picture on screen everywhere.
  const RgbCanvas& screen = run.platform.picture(Control::img_regta);
  double error = 0;
  for (int y = 0; y < 145; ++y) {
    for (int x = 0; x < 177; ++x) {
      const Rgb a = file.At(x, y);
      const Rgb b = screen.Pixel(x, y);
      error += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
  }
  EXPECT_LT(error / (177 * 145 * 3), 4.0);
}

TEST(PreviewSave, BothButtonsShareTheDialogAndItsLastFilter) {
  SaveRun run;
  run.Answer("a.jpg", 2);
  run.Answer("b.jpg", 1);
  run.form.btn_save1Click();
  run.form.btn_save2Click();
  ASSERT_EQ(run.platform.dialogs_shown.size(), 2u);
  EXPECT_EQ(run.platform.dialogs_shown[1].second.filter_index, 2);
  EXPECT_EQ(run.platform.dialogs_shown[1].second.file_name, "torvane.bmp");
  EXPECT_EQ(run.File("a.jpg").substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(run.File("b.jpg").substr(0, 2), "BM") << "the first filter writes a bitmap";
}

TEST(PreviewSave, CancelledDialogWritesNothing) {
  SaveRun run;
  run.platform.dialog_answers.push_back(std::nullopt);
  run.form.btn_save1Click();
  EXPECT_EQ(run.platform.CountOf("dialog: SaveDialog2"), 1);
  EXPECT_EQ(run.dir.Entries(), (std::vector<std::string>{"survey.dat", "table.dat"}));
}

struct IgnoredCase {
  const char* name;
  bool preview;
  bool run;
  const char* input;  // the point file of the run
};

const IgnoredCase kIgnored[] = {
    {"PreviewOff", false, true, "survey.dat"},
    {"NoRunYet", true, false, "survey.dat"},
    {"RunFailed", true, true, "missing.dat"},
};

class SaveIgnored : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(SaveIgnored, NoDialogNoFileNoMessage) {
  const IgnoredCase& c = GetParam();
  SaveRun run(c.preview, false);
  run.platform.SetText(Control::txt_in, run.dir.File(c.input));
  if (c.run) run.form.btn_calcClick();
  run.platform.log.clear();
  run.Answer("x.bmp", 1);
  run.form.btn_save1Click();
  run.form.btn_save2Click();
  EXPECT_TRUE(run.platform.log.empty());
  EXPECT_FALSE(std::filesystem::exists(run.dir.File("x.bmp")));
}

INSTANTIATE_TEST_SUITE_P(Saves, SaveIgnored, ::testing::ValuesIn(kIgnored),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PreviewSave, ExistingFileIsReplaced) {
  SaveRun run;
  WriteFile(run.dir.File("cba.bmp"), "an older picture");
  run.Answer("cba.bmp", 1);
  run.form.btn_save1Click();
  EXPECT_TRUE(DecodeBitmap(run.File("cba.bmp")).ok);
  EXPECT_TRUE(run.platform.Messages().empty());
}

// A folder that is missing, and a name taken by a folder: the user is told
// with the path, the picture on screen and the folder stay as they were.
TEST(PreviewSave, UnwritableFileIsReportedWithItsPath) {
  SaveRun run;
  std::filesystem::create_directory(run.dir.File("taken.bmp"));
  const RgbCanvas before = run.platform.picture(Control::img_uba);
  for (const std::string name : {"no/such/folder/cba.bmp", "taken.bmp"}) {
    for (const int filter : {1, 2}) {
      run.platform.log.clear();
      run.Answer(name, filter);
      run.form.btn_save1Click();
      EXPECT_EQ(run.platform.Messages(),
                std::vector<std::string>{"info: Cannot create file \"" + run.dir.File(name) + "\""});
    }
  }
  EXPECT_EQ(run.platform.picture(Control::img_uba).pixels(), before.pixels());
  EXPECT_EQ(run.dir.Entries(), (std::vector<std::string>{"survey.dat", "table.dat", "taken.bmp"}));
  EXPECT_TRUE(std::filesystem::is_empty(run.dir.File("taken.bmp")));
}

// libjpeg refuses an empty picture; its error comes back as a message, the
// program goes on and no file is made.
TEST(PreviewSave, JpegErrorIsReportedNotFatal) {
  TempDir dir;
  ScriptedPlatform platform;
  EXPECT_FALSE(SavePreviewJpeg(platform, dir.File("empty.jpg"), RgbCanvas(0, 0)));
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_TRUE(platform.Messages()[0].starts_with("info: Cannot write file \"" +
                                                 dir.File("empty.jpg") + "\": "))
      << platform.Messages()[0];
  EXPECT_TRUE(dir.Entries().empty());
  // The next picture is written as usual.
  RgbCanvas picture(8, 8);
  picture.Clear();
  EXPECT_TRUE(SavePreviewJpeg(platform, dir.File("small.jpg"), picture));
  EXPECT_EQ(DecodeJpeg(ReadFile(dir.File("small.jpg"))).width, 8);
}

}  // namespace
}  // namespace torvane::testing
