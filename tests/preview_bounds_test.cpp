// The memory a run takes follows its points, not the survey's extent over
// the radius: without previews no cells are laid, and cells that would not
// fit skip the previews, never the table. And the radius for gridding sets
// the previews' node spacing, cut-off and reach; 0 leaves them at R.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

#include "app/Hvw.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

extern char** environ;

namespace torvane::testing {
namespace {

// A wide survey: `count` points scattered over 1000 x 300 km.
std::string WideSurvey(int count) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> x(0, 1000000), y(0, 300000), cba(-50, 50);
  std::string text;
  char line[128];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "%.2f %.2f %d 0 %.3f\n", x(random), y(random), i + 1,
                  cba(random));
    text += line;
  }
  return text;
}

struct MeasuredRun {
  int exit_code = -1;
  long peak_kib = 0;  // the child's own peak resident memory, as the system counts it
  std::string err;
};

// Runs torvane-cli as a child of this process alone, so that the system's
// account of its peak memory is its own.
MeasuredRun RunMeasured(const TempDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), TORVANE_CLI);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string err_path = dir.File("stderr.txt");
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  MeasuredRun run;
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
    run.exit_code = WEXITSTATUS(status);
  }
  run.peak_kib = usage.ru_maxrss;
  run.err = ReadFile(err_path);
  std::filesystem::remove(err_path);
  return run;
}

// At R = 1 m the old cells over 1000 x 300 km would number 3e11; the ring
// search needs none of them.
TEST(PreviewBounds, TinyRadiusOnAWideSurveyStaysSmall) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an instrumented program's memory is that of its sanitizer, not its own";
#endif
  TempDir dir;
  constexpr int kPoints = 20000;
  WriteFile(dir.File("wide.dat"), WideSurvey(kPoints));
  const std::vector<std::string> common = {"--input", dir.File("wide.dat"), "--output",
                                           dir.File("t.dat"), "--radius", "1", "--band", "0.5",
                                           "--quiet"};
  const MeasuredRun plain = RunMeasured(dir, common);
  ASSERT_EQ(plain.exit_code, 0) << plain.err;
  // The program and its libraries take about 6 MB; 20000 points a few more.
  EXPECT_LT(plain.peak_kib, 64 * 1024) << "KiB";
  const std::string table = ReadFile(dir.File("t.dat"));
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), kPoints + 1);

  // Asked for a picture, the run skips the previews, says why in numbers,
  // and still writes the table; the picture is not written.
  std::filesystem::remove(dir.File("t.dat"));
  std::vector<std::string> with_picture = common;
  with_picture.insert(with_picture.end(), {"--preview-cba", dir.File("cba.bmp")});
  const MeasuredRun skipped = RunMeasured(dir, with_picture);
  EXPECT_EQ(skipped.exit_code, 1) << skipped.err;
  EXPECT_LT(skipped.peak_kib, 64 * 1024) << "KiB";
  EXPECT_NE(skipped.err.find("Insufficent memory for creting temporary cluster. Increase radius "
                             "for search!"),
            std::string::npos)
      << skipped.err;
  EXPECT_NE(skipped.err.find("previews skipped: the survey spans"), std::string::npos)
      << skipped.err;
  EXPECT_NE(skipped.err.find(" cells, about "), std::string::npos) << skipped.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("t.dat")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("cba.bmp")));
}

// Memory the system has free but the process may not have (its address
// space limit) does not count: the previews are skipped, not the run.
TEST(PreviewBounds, AddressSpaceLimitCounts) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an instrumented program's memory is that of its sanitizer, not its own";
#endif
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  // 5.5 km at 0.5 m: 1.2e8 cells, about 1 GB with their nodes.
  const CliResult run =
      RunCli(dir,
             {"--input", sample, "--output", dir.File("t.dat"), "--radius", "0.5", "--band", "0.1",
              "--quiet", "--preview-cba", dir.File("cba.bmp")},
             "ulimit -v 600000;");
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_NE(run.err.find("Insufficent memory for creting temporary cluster"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("Not enough memory for temporary buffer"), std::string::npos)
      << "refused before the cells were laid, not half way: " << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("t.dat")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("cba.bmp")));
}

// --- The radius for gridding --------------------------------------------

constexpr const char* kGridSurvey =
    "0 0 1 0 1\n100 0 2 0 3\n200 0 3 0 2\n0 100 4 0 6\n100 100 5 0 4\n200 100 6 0 9\n"
    "50 50 7 0 -3\n150 50 8 0 12\n";

struct PreviewRun {
  ScriptedPlatform platform;
  TfrmMain form{platform};
  explicit PreviewRun(const TempDir& dir, const char* gridding) {
    platform.SetText(Control::txt_in, dir.File("in.dat"));
    platform.SetText(Control::txt_out, dir.File("t.dat"));
    platform.SetText(Control::txt_rfs, "100");
    platform.SetText(Control::txt_rfa, "10");
    platform.SetChecked(Control::cb_preview, true);
    if (gridding != nullptr) platform.SetText(Control::txt_nearest, gridding);
    form.btn_calcClick();
  }
  const std::vector<Rgb>& Picture() const { return platform.picture(Control::img_uba).pixels(); }
};

TEST(GriddingRadius, ReplacesRInThePreviewsOnly) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kGridSurvey);
  PreviewRun as_before(dir, nullptr);  // the window's start value, "0"
  ASSERT_TRUE(as_before.form.ResultsReady());
  const std::string table = ReadFile(dir.File("t.dat"));
  EXPECT_EQ(as_before.form.Request().GriddingRadius(), 100);
  EXPECT_EQ(as_before.form.Cluster().nx(), 3);  // 200 m / 100 m + 1

  const struct {
    const char* text;
    double step;
    int nx;
  } cases[] = {{"0", 100, 3}, {"", 100, 3}, {"25", 25, 9}, {"12.5", 12.5, 17}};
  for (const auto& c : cases) {
    PreviewRun run(dir, c.text);
    ASSERT_TRUE(run.form.ResultsReady()) << c.text;
    const RunRequest& p = run.form.Request();
    EXPECT_EQ(p.GriddingRadius(), c.step) << c.text;
    EXPECT_EQ(p.ring.radius, 100) << "the ring keeps R";
    EXPECT_EQ(run.form.Cluster().nx(), c.nx) << c.text;
    EXPECT_EQ(ReadFile(dir.File("t.dat")), table) << "the table does not change";
    EXPECT_EQ(run.Picture() == as_before.Picture(), c.step == 100) << c.text;
  }
}

// Through torvane-cli: --gridding-radius 0 draws the picture drawn without
// it, a small radius a different one; a negative one is a usage error.
TEST(GriddingRadius, ThroughTheBatchCommand) {
  TempDir dir;
  WriteFile(dir.File("in.dat"), kGridSurvey);
  auto run = [&](const char* picture, std::vector<std::string> more) {
    std::vector<std::string> args = {"--input", dir.File("in.dat"), "--output", dir.File("t.dat"),
                                     "--radius", "100", "--band", "10", "--quiet",
                                     "--preview-cba", dir.File(picture)};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(dir, args);
  };
  ASSERT_EQ(run("plain.bmp", {}).exit_code, 0);
  ASSERT_EQ(run("zero.bmp", {"--gridding-radius", "0"}).exit_code, 0);
  ASSERT_EQ(run("fine.bmp", {"--gridding-radius", "10"}).exit_code, 0);
  EXPECT_EQ(ReadFile(dir.File("zero.bmp")), ReadFile(dir.File("plain.bmp")));
  EXPECT_NE(ReadFile(dir.File("fine.bmp")), ReadFile(dir.File("plain.bmp")));
  const CliResult negative = run("no.bmp", {"--gridding-radius", "-1"});
  EXPECT_EQ(negative.exit_code, 2);
  EXPECT_NE(negative.err.find("--gridding-radius -1"), std::string::npos) << negative.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.bmp")));
}

}  // namespace
}  // namespace torvane::testing
