// The previews in a run and in the window's handlers, through TfrmMain on the
// scripted platform: the CBA is gridded before the table and the residual
// after it, Stop asks "Cancel calculation?", and the lists grid again.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/PreviewRun.h"

namespace torvane::testing {
namespace {

// 5 x 4 stations 100 m apart, CBA rising to the east and north: with
// R = 100 the nodes sit on the stations, 5 node columns.
std::string GridSurvey() {
  std::ostringstream survey;
  int number = 1;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 4; ++j) {
      survey << i * 100 << " " << j * 100 << " " << number++ << " 0 " << i + 2 * j << "\n";
    }
  }
  return survey.str();
}

// The survey of most tests here.
struct GridRun : PreviewRun {
  explicit GridRun(const std::string& survey = GridSurvey()) : PreviewRun(survey) {}
};

bool IsBlankFramed(const RgbCanvas& canvas) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const bool frame = x == 0 || y == 0 || x == canvas.width() - 1 || y == canvas.height() - 1;
      if (canvas.Pixel(x, y) != (frame ? kBlack : kWhite)) return false;
    }
  }
  return canvas.width() == 177 && canvas.height() == 145;
}

bool HasFrameAndColour(const RgbCanvas& canvas) {
  int coloured = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const bool frame = x == 0 || y == 0 || x == canvas.width() - 1 || y == canvas.height() - 1;
      if (frame && canvas.Pixel(x, y) != kBlack) return false;
      coloured += !frame && canvas.Pixel(x, y) != kWhite;
    }
  }
  return coloured > 0;
}

const std::string kQuestion = "message: Warning: Cancel calculation? [Yes/No]";

// Creating the window reads its settings and shows both pictures cleared.
TEST(PreviewInRun, PicturesStartAsAWhiteAreaInABlackFrame) {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form(platform);
  form.UseSettingsFile(dir.File("none.cfg"));
  form.ReadCfg();
  EXPECT_TRUE(IsBlankFramed(platform.picture(Control::img_uba)));
  EXPECT_TRUE(IsBlankFramed(platform.picture(Control::img_regta)));
  EXPECT_EQ(platform.CountOf("picture: img_uba"), 1);
  EXPECT_EQ(platform.CountOf("picture: img_regta"), 1);
}

TEST(PreviewInRun, CbaBeforeTheTableResidualAfter) {
  GridRun run;
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  const std::vector<std::string> expected = {
      "picture: img_uba", "picture: img_regta",  // cleared
      "cursor: busy",     "cursor: normal",     "picture: img_uba",    // step 8
      "range: 0..20",                                                 // the table
      "cursor: busy",     "cursor: normal",     "picture: img_regta",  // step 11
  };
  EXPECT_EQ(run.Entries({"picture", "cursor", "range"}), expected);
  EXPECT_TRUE(HasFrameAndColour(run.Picture(Control::img_uba)));
  EXPECT_TRUE(HasFrameAndColour(run.Picture(Control::img_regta)));
  EXPECT_FALSE(run.platform.busy_cursor());
  EXPECT_TRUE(run.platform.Messages().empty());
  // Events once per node column (5), then once after painting.
  const auto& log = run.platform.log;
  const auto busy = std::find(log.begin(), log.end(), "cursor: busy");
  const auto normal = std::find(busy, log.end(), "cursor: normal");
  EXPECT_EQ(std::count(busy, normal, "events"), 5);
  EXPECT_EQ(*(std::find(normal, log.end(), "picture: img_uba") + 1), "events");
}

TEST(PreviewInRun, PreviewOffGridsNothing) {
  GridRun run;
  run.platform.SetChecked(Control::cb_preview, false);
  run.form.btn_calcClick();
  EXPECT_TRUE(run.form.ResultsReady());
  EXPECT_TRUE(run.Entries({"cursor"}).empty());
  EXPECT_TRUE(IsBlankFramed(run.Picture(Control::img_uba)));
  EXPECT_TRUE(IsBlankFramed(run.Picture(Control::img_regta)));
}

// One point: one node, which fills a square 145 x 145 raster with its value.
// All values equal: standard deviation 1, every pixel index 21 (255, 233, 0),
// flat, darkened by 38. The columns right of the square stay white.
TEST(PreviewInRun, SinglePointPaintsAFlatSquare) {
  GridRun run("500 700 1 0 12.5\n");
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  for (const Control image : {Control::img_uba, Control::img_regta}) {
    const RgbCanvas& picture = run.Picture(image);
    for (int row = 1; row < 144; ++row) {
      for (int x = 1; x < 176; ++x) {
        const Rgb expected = x <= 144 ? Rgb{217, 195, 0} : kWhite;
        ASSERT_EQ(picture.Pixel(x, row), expected) << ControlName(image) << " " << x << "," << row;
      }
    }
    EXPECT_EQ(picture.Pixel(0, 70), kBlack);
    EXPECT_EQ(picture.Pixel(176, 144), kBlack);
  }
}

// Two groups of stations 1000 m apart: the nodes between them have no
// station within R and the picture is white there.
TEST(PreviewInRun, NodesFarFromEveryStationAreWhite) {
  std::string survey;
  for (const int x : {0, 100, 200, 1000, 1100, 1200}) {
    for (const int y : {0, 100}) survey += std::to_string(x) + " " + std::to_string(y) + " 1 0 5\n";
  }
  GridRun run(survey);
  run.form.btn_calcClick();
  const RgbCanvas& picture = run.Picture(Control::img_uba);
  // 13 x 2 nodes on 177 pixels, 7.3 m a pixel: nodes 0 to 2 and 10 to 12
  // have values, nodes 3 to 9 (pixels 41 to 122) none.
  for (int x = 41; x <= 122; ++x) EXPECT_EQ(picture.Pixel(x, 140), kWhite) << x;
  EXPECT_NE(picture.Pixel(3, 140), kWhite);
  EXPECT_NE(picture.Pixel(160, 140), kWhite);
}

struct StopCase {
  const char* name;
  bool during_residual;  // else during the CBA gridding
  MessageResult answer;
  bool results, left_painted, right_painted;
};

const StopCase kStops[] = {
    {"YesDuringTheCbaEndsTheRunBeforeTheTable", false, MessageResult::kYes, false, false, false},
    {"NoDuringTheCbaGoesOn", false, MessageResult::kNo, true, true, true},
    {"YesDuringTheResidualKeepsTheTable", true, MessageResult::kYes, true, true, false},
    {"NoDuringTheResidualGoesOn", true, MessageResult::kNo, true, true, true},
};

class StopDuringPreview : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopDuringPreview, AsksAndObeys) {
  const StopCase& c = GetParam();
  GridRun run;
  run.platform.answers = {c.answer};
  bool pressed = false;
  run.platform.on_events = [&] {
    if (!pressed && run.platform.busy_cursor() && run.form.ResultsReady() == c.during_residual) {
      pressed = true;
      run.form.btn_stopClick();
    }
  };
  run.form.btn_calcClick();
  ASSERT_TRUE(pressed);
  EXPECT_EQ(run.platform.Messages(), std::vector<std::string>{kQuestion});
  EXPECT_EQ(run.form.ResultsReady(), c.results);
  EXPECT_EQ(run.TableWritten(), c.results);
  EXPECT_EQ(HasFrameAndColour(run.Picture(Control::img_uba)), c.left_painted);
  EXPECT_EQ(IsBlankFramed(run.Picture(Control::img_regta)), !c.right_painted);
  EXPECT_FALSE(run.form.StopRequested());
  EXPECT_FALSE(run.platform.busy_cursor());
  EXPECT_TRUE(run.platform.Enabled(Control::btn_calc));
  EXPECT_FALSE(run.platform.Visible(Control::btn_stop));
  // Yes stops at once, after the first column; No grids all five.
  const auto& log = run.platform.log;
  const auto question = std::find(log.begin(), log.end(), kQuestion);
  const auto normal = std::find(question, log.end(), "cursor: normal");
  EXPECT_EQ(std::count(question, normal, "events"), c.answer == MessageResult::kYes ? 0 : 4);
}

INSTANTIATE_TEST_SUITE_P(Answers, StopDuringPreview, ::testing::ValuesIn(kStops),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PreviewLists, ChangeGridsThePictureAgain) {
  GridRun run;
  run.platform.SetChecked(Control::cb_preview, false);
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  run.platform.SetChecked(Control::cb_preview, true);
  run.platform.log.clear();
  run.form.cb1Change();
  EXPECT_EQ(run.Entries({"picture", "cursor"}),
            (std::vector<std::string>{"cursor: busy", "cursor: normal", "picture: img_uba"}));
  EXPECT_TRUE(HasFrameAndColour(run.Picture(Control::img_uba)));
  EXPECT_TRUE(IsBlankFramed(run.Picture(Control::img_regta)));
  run.form.cb2Change();
  EXPECT_TRUE(HasFrameAndColour(run.Picture(Control::img_regta)));
  EXPECT_FALSE(run.form.Running());
}

TEST(PreviewLists, IgnoredWhenPreviewsAreOffOrThereAreNoResults) {
  GridRun run;
  run.platform.SetChecked(Control::cb_preview, false);
  run.form.btn_calcClick();
  run.platform.log.clear();
  run.form.cb1Change();
  run.form.cb2Change();
  EXPECT_TRUE(run.platform.log.empty());

  run.platform.SetChecked(Control::cb_preview, true);
  run.platform.SetText(Control::txt_in, run.dir.File("missing.dat"));
  run.form.btn_calcClick();
  ASSERT_FALSE(run.form.ResultsReady());
  run.platform.log.clear();
  run.form.cb1Change();
  run.form.cb2Change();
  EXPECT_TRUE(run.platform.log.empty());
}

// A list changed, or Calc pressed, while a list's gridding processes events
// does nothing; the gridding under way finishes.
TEST(PreviewLists, NothingStartsDuringAGridding) {
  GridRun run;
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  run.platform.log.clear();
  run.platform.on_events = [&] {
    run.form.cb2Change();
    run.form.cb1Change();
    run.form.btn_calcClick();
  };
  run.form.cb1Change();
  EXPECT_EQ(run.Entries({"picture", "cursor", "enabled"}),
            (std::vector<std::string>{"cursor: busy", "cursor: normal", "picture: img_uba"}));
  EXPECT_FALSE(run.form.Running());
  EXPECT_TRUE(run.form.ResultsReady());
}

// During the run's residual gridding the results are ready, yet a list
// change does not start a second gridding.
TEST(PreviewLists, NoSecondGriddingDuringTheRun) {
  GridRun run;
  run.platform.on_events = [&] {
    if (run.form.ResultsReady() && run.platform.busy_cursor()) run.form.cb1Change();
  };
  run.form.btn_calcClick();
  EXPECT_EQ(run.platform.CountOf("cursor: busy"), 2);
  EXPECT_EQ(run.platform.CountOf("picture: img_uba"), 2) << "cleared, then painted once";
}

TEST(PreviewLists, BusyCursorGoesBackToWhatWasThere) {
  GridRun run;
  run.form.btn_calcClick();
  run.platform.SetBusyCursor(true);
  run.platform.log.clear();
  run.form.cb1Change();
  EXPECT_TRUE(run.platform.busy_cursor());
  EXPECT_EQ(run.Entries({"cursor"}), (std::vector<std::string>{"cursor: busy", "cursor: busy"}));
}

}  // namespace
}  // namespace torvane::testing
