// A whole run through TfrmMain: the order of its calls to the platform, the
// table it writes, the flags and the buttons.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

#include "app/Hvw.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// Three points: P1 sees P2 and P3 at distance 100; P2 and P3 see only P1.
constexpr const char* kExampleSurvey =
    "/ three stations\n"
    "X Y POINT H CBA\n"
    "0 0 1 0 10\n"
    "100 0 2 0 4\n"
    "0 100 3 0 6\n";

constexpr const char* kExampleTable =
    "         X          Y      POINT          U    TORVANE          N\r\n"
    "       0.0        0.0        1.0     10.000   5.000000          2\r\n"
    "     100.0        0.0        2.0      4.000  -6.000000          1\r\n"
    "       0.0      100.0        3.0      6.000  -4.000000          1\r\n";

struct ExampleRun {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form{platform};

  ExampleRun(const std::string& survey = kExampleSurvey, const std::string& radius = "100",
             const std::string& band = "10") {
    WriteFile(dir.File("survey.dat"), survey);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    platform.SetText(Control::txt_rfs, radius);
    platform.SetText(Control::txt_rfa, band);
  }
  std::string Table() const { return ReadFile(dir.File("table.dat")); }
};

TEST(RunOrder, WorkedExampleTableAndCallOrder) {
  ExampleRun run;
  run.form.btn_calcClick();

  EXPECT_EQ(run.Table(), kExampleTable);
  EXPECT_TRUE(run.form.ResultsReady());
  EXPECT_FALSE(run.form.StopRequested());
  const std::vector<std::string> expected = {
      "enabled: btn_calc=0", "visible: btn_exit=0", "visible: btn_stop=1",
      "progress: 0",  // the run resets the bar
      "picture: img_uba", "picture: img_regta",  // both pictures cleared
      "events",
      "events", "events",  // after each pass over the file's one block
      "range: 0..3", "progress: 0", "events",  // the computation sets up the bar
      "progress: 0", "events", "progress: 0", "events",  // before and after the index
      "progress: 1", "events", "progress: 2", "events", "progress: 3", "events",
      "enabled: btn_calc=1", "visible: btn_exit=1", "visible: btn_stop=0",
  };
  EXPECT_EQ(run.platform.log, expected);
  EXPECT_EQ(run.form.Points().points[0].residual, 5.0);
  EXPECT_EQ(run.form.Points().points[1].residual, -6.0);
}

TEST(RunOrder, PicturesAreClearedToAWhiteAreaInABlackFrame) {
  ExampleRun run;
  run.form.btn_calcClick();
  for (const Control image : {Control::img_uba, Control::img_regta}) {
    const RgbCanvas& canvas = run.platform.picture(image);
    ASSERT_EQ(canvas.width(), 177);
    ASSERT_EQ(canvas.height(), 145);
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        const bool frame = x == 0 || y == 0 || x == canvas.width() - 1 || y == canvas.height() - 1;
        ASSERT_EQ(canvas.Pixel(x, y), frame ? kBlack : kWhite) << x << "," << y;
      }
    }
  }
}

// Stop pressed while the residuals are computed asks "Cancel calculation?":
// Yes ends the run with no table (the one of an earlier run stays byte for
// byte), No goes on to the full table.
TEST(RunOrder, StopDuringTheComputationAsksAndObeys) {
  for (const MessageResult answer : {MessageResult::kYes, MessageResult::kNo}) {
    SCOPED_TRACE(answer == MessageResult::kYes ? "Yes" : "No");
    ExampleRun run;
    WriteFile(run.dir.File("table.dat"), "the earlier table\n");
    run.platform.answers = {answer};
    bool pressed = false;
    run.platform.on_events = [&] {
      if (run.platform.progress_position() == 1 && !pressed) {
        pressed = true;
        run.form.btn_stopClick();
        EXPECT_TRUE(run.form.StopRequested());
      }
    };
    run.form.btn_calcClick();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(run.platform.Messages(), std::vector<std::string>{"message: Warning: Cancel calculation? [Yes/No]"});
    const bool stopped = answer == MessageResult::kYes;
    EXPECT_EQ(run.Table(), stopped ? "the earlier table\n" : kExampleTable);
    EXPECT_EQ(run.form.ResultsReady(), !stopped);
    EXPECT_EQ(run.form.Stopped(), stopped);
    EXPECT_FALSE(run.form.StopRequested());
    EXPECT_TRUE(run.platform.Enabled(Control::btn_calc));
  }
}

// A survey of `count` points in several blocks of the file: plain columns,
// or CSV with a header row, over 40 km, or 0.4 degrees of longitude and
// latitude from (20 E, 30 S).
std::string LargeSurvey(int count, bool csv, bool degrees) {
  std::string text = csv ? "x,y,point,h,cba\n" : "";
  std::mt19937 random(11);
  std::uniform_real_distribution<double> place(0, 1), value(-50, 0);
  const char* format = csv ? (degrees ? "%.6f,%.6f,%d,0,%.3f\n" : "%.2f,%.2f,%d,0,%.3f\n")
                           : "%.2f %.2f %d 0 %.3f\n";
  char line[96];
  for (int i = 0; i < count; ++i) {
    const double u = place(random), v = place(random);
    const double x = degrees ? 20 + 0.4 * u : 40000 * u;
    const double y = degrees ? -30 + 0.4 * v : 40000 * v;
    std::snprintf(line, sizeof line, format, x, y, i + 1, value(random));
    text += line;
  }
  return text;
}

// Stop pressed while the stations are read or projected asks "Cancel
// calculation?" at once. Yes ends the run there, with no more event passes:
// nothing is computed or written, the earlier table stays byte for byte and
// the pictures as they were. No goes on to the table a run without Stop
// writes.
TEST(RunOrder, StopWhileTheStationsAreReadAsksAndObeys) {
  struct Case {
    const char* name;
    const char* file;
    bool degrees;
    MessageResult answer;
  };
  const Case cases[] = {
      {"PlainFileYes", "large.dat", false, MessageResult::kYes},
      {"CsvFileYes", "large.csv", false, MessageResult::kYes},
      {"ProjectionYes", "degrees.csv", true, MessageResult::kYes},
      {"PlainFileNo", "large.dat", false, MessageResult::kNo},
  };
  constexpr int kPoints = 150000;  // over 5 MB: more than one block
  std::string stations;  // 5 x 4, 100 m apart: previews with colour
  for (int i = 0; i < 20; ++i) {
    stations += std::to_string(i / 4 * 100) + " " + std::to_string(i % 4 * 100) + " " +
                std::to_string(i + 1) + " 0 " + std::to_string(i / 4 + i % 4 * 2) + "\n";
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExampleRun run(stations);
    run.platform.SetChecked(Control::cb_preview, true);
    run.form.btn_calcClick();
    ASSERT_TRUE(run.form.ResultsReady());
    const std::string earlier = run.Table();
    const RgbCanvas left = run.platform.picture(Control::img_uba);
    const RgbCanvas right = run.platform.picture(Control::img_regta);
    RgbCanvas blank(left.width(), left.height());
    blank.Clear();
    ASSERT_NE(left.pixels(), blank.pixels()) << "the earlier run painted its CBA";

    const std::string large = run.dir.File(c.file);
    WriteFile(large, LargeSurvey(kPoints, large.ends_with(".csv"), c.degrees));
    run.platform.SetText(Control::txt_in, large);
    run.platform.SetChecked(Control::cb_preview, false);
    if (c.degrees) run.form.Request().stations.crs.crs = "EPSG:4326";
    run.platform.log.clear();
    run.platform.answers = {c.answer};
    int passes = 0;
    bool pressed = false;
    run.platform.on_events = [&] {
      // The first pass is the run's own, before the file is opened.
      const bool now = c.degrees ? !run.form.Points().file_xy.empty() : ++passes == 2;
      if (!pressed && now) {
        pressed = true;
        run.form.btn_stopClick();
      }
    };
    run.form.btn_calcClick();
    ASSERT_TRUE(pressed);
    const std::vector<std::string>& log = run.platform.log;
    const auto question =
        std::find(log.begin(), log.end(), "message: Warning: Cancel calculation? [Yes/No]");
    ASSERT_NE(question, log.end());
    EXPECT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_FALSE(run.form.StopRequested());
    if (c.answer == MessageResult::kNo) {
      ASSERT_TRUE(run.form.ResultsReady());
      EXPECT_EQ(run.form.Points().count(), kPoints);
      const std::string table = run.Table();
      run.platform.on_events = nullptr;
      run.form.btn_calcClick();
      EXPECT_EQ(run.Table(), table) << "the same table as a run without Stop";
      continue;
    }
    EXPECT_EQ(std::count(question, log.end(), "events"), 0) << "no work after the Yes";
    EXPECT_FALSE(std::any_of(log.begin(), log.end(),
                             [](const std::string& e) { return e.starts_with("range:"); }))
        << "stopped before the rings were set up";
    EXPECT_TRUE(run.form.Stopped());
    EXPECT_FALSE(run.form.ResultsReady());
    EXPECT_EQ(run.form.Points().count(), 0);
    EXPECT_EQ(run.Table(), earlier);
    EXPECT_EQ(run.platform.picture(Control::img_uba).pixels(), left.pixels());
    EXPECT_EQ(run.platform.picture(Control::img_regta).pixels(), right.pixels());
    EXPECT_EQ(run.dir.Entries(), (std::vector<std::string>{c.file, "survey.dat", "table.dat"}));
    EXPECT_TRUE(run.platform.Enabled(Control::btn_calc));
  }
}

// A second press of Calc from inside the run (Calc is disabled then) is ignored.
TEST(RunOrder, CalcDuringARunIsIgnored) {
  ExampleRun run;
  int nested_runs = 0;
  run.platform.on_events = [&] {
    if (run.form.Running() && nested_runs++ == 0) run.form.btn_calcClick();
  };
  run.form.btn_calcClick();
  EXPECT_EQ(run.platform.CountOf("enabled: btn_calc=0"), 1);
  EXPECT_EQ(run.Table(), kExampleTable);
}

// Points more than R below or to the left of a point are counted like their
// mirror images above and to the right.
TEST(RunOrder, RingPointsOnEverySideCount) {
  // With R = 100 and D = 90 the band is [10, 190] (+- 1e-6). Cells are 100
  // wide, so the points 190 to the left and below lie two cells away, beyond
  // a window of cells that reaches only R below the centre.
  ExampleRun run(
      "190 190 1 0 0\n"
      "0 190 2 0 8\n"     // 190 to the left
      "190 0 3 0 16\n"    // 190 below
      "380 190 4 0 24\n"  // 190 to the right
      "190 380 5 0 32\n", // 190 above
      "100", "90");
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  const SurveyPoint& centre = run.form.Points().points[0];
  EXPECT_EQ(centre.residual, 0.0 - (8.0 + 16 + 24 + 32) / 4);
  EXPECT_NE(run.Table().find(" -20.000000          4\r\n"), std::string::npos) << run.Table();
}

// D = R: the lower bound is negative, so the point itself and every point on
// its spot enter the mean; D = 0 keeps only points at R +- 1e-6.
TEST(RunOrder, BandLimits) {
  {
    ExampleRun run("0 0 1 0 10\n0 0 2 0 20\n100 0 3 0 30\n", "100", "100");
    run.form.btn_calcClick();
    const auto& p = run.form.Points().points;
    EXPECT_DOUBLE_EQ(p[0].residual, 10 - 60.0 / 3);
    EXPECT_DOUBLE_EQ(p[2].residual, 30 - 60.0 / 3);
  }
  {
    ExampleRun run("0 0 1 0 10\n100.000001 0 2 0 20\n0 100.0000011 3 0 30\n", "100", "0");
    run.platform.SetText(Control::txt_rfa, "0");
    run.form.btn_calcClick();
    const auto& p = run.form.Points().points;
    EXPECT_DOUBLE_EQ(p[0].residual, 10 - 20.0) << "only the point within 1e-6 of R counts";
    EXPECT_DOUBLE_EQ(p[2].residual, 0.0);
  }
}

// Negative file coordinates are shifted for the computation and restored in
// the table.
TEST(RunOrder, NegativeCoordinatesComeBackAsWritten) {
  ExampleRun run("-50 -20 1 0 10\n50 -20 2 0 4\n-50 80 3 0 6\n");
  run.form.btn_calcClick();
  const std::string table = run.Table();
  EXPECT_NE(table.find("     -50.0      -20.0        1.0     10.000   5.000000          2\r\n"),
            std::string::npos)
      << table;
  EXPECT_EQ(run.form.Points().shift_x, 50.0);
  EXPECT_EQ(run.form.Points().shift_y, 20.0);
}

// A table of many rows is formatted by several threads in batches: every
// row is there once, in file order, with its point's own numbers. Rows of
// a lattice of 300 x 250 stations 10 m apart, R = 10: N 4 inside, 3 on an
// edge, 2 at a corner.
TEST(RunOrder, ManyRowsInFileOrder) {
  constexpr int kColumns = 300, kRows = 250;
  std::string survey;
  for (int i = 0; i < kColumns * kRows; ++i) {
    survey += std::to_string(i % kColumns * 10) + " " + std::to_string(i / kColumns * 10) + " " +
              std::to_string(i + 1) + " 0 " + std::to_string(i % 7) + "\n";
  }
  ExampleRun run(survey, "10", "1");
  run.form.btn_calcClick();
  std::istringstream table(run.Table());
  std::string line;
  std::getline(table, line);
  for (int i = 0; i < kColumns * kRows; ++i) {
    ASSERT_TRUE(std::getline(table, line)) << "row " << i;
    std::istringstream fields(line);
    double x = 0, y = 0, point = 0, u = 0, residual = 0;
    int n = 0;
    fields >> x >> y >> point >> u >> residual >> n;
    const int column = i % kColumns, row = i / kColumns;
    const int edges = (column == 0 || column == kColumns - 1) + (row == 0 || row == kRows - 1);
    ASSERT_EQ(point, i + 1) << line;
    ASSERT_EQ(x, column * 10) << line;
    ASSERT_EQ(y, row * 10) << line;
    ASSERT_EQ(u, i % 7) << line;
    ASSERT_EQ(n, 4 - edges) << line;
  }
  EXPECT_FALSE(std::getline(table, line)) << line;
}

// Every run starts from nothing: a failed run leaves no points, no results.
TEST(RunOrder, AFailedRunDropsTheEarlierResults) {
  ExampleRun run;
  run.form.btn_calcClick();
  ASSERT_TRUE(run.form.ResultsReady());
  run.platform.SetText(Control::txt_in, run.dir.File("missing.dat"));
  run.form.btn_calcClick();
  EXPECT_FALSE(run.form.ResultsReady());
  EXPECT_EQ(run.form.Points().count(), 0);
  EXPECT_TRUE(run.form.Cluster().empty());
  EXPECT_TRUE(run.platform.Enabled(Control::btn_calc));
  EXPECT_TRUE(run.platform.Visible(Control::btn_exit));
  EXPECT_FALSE(run.platform.Visible(Control::btn_stop));
}

// The gridding radius shapes the previews only: the table stays as it was.
TEST(RunOrder, GriddingRadiusLeavesTheTableAsItWas) {
  ExampleRun first;
  first.platform.SetText(Control::txt_nearest, "12345");
  first.form.btn_calcClick();
  EXPECT_EQ(first.Table(), kExampleTable);
}

}  // namespace
}  // namespace torvane::testing
