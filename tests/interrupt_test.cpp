// Ctrl-C (SIGINT) and SIGTERM during a run: every temporary file the run
// opened is gone, every output that existed is as it was (or, when the run
// finished first, whole and new), the run says "interrupted" on stderr and
// ends with 130 or 143. The sweep's table, curve and plot are one set: never
// a new table beside an old curve.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "tests/ChildProcess.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// A survey large enough that a run with a wide ring takes seconds.
void WriteLargeSurvey(const std::string& path) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> place(0, 40000);
  std::normal_distribution<double> anomaly(-30, 5);
  std::string text;
  text.reserve(200000 * 40);
  char line[96];
  for (int i = 1; i <= 200000; ++i) {
    std::snprintf(line, sizeof line, "%.1f %.1f %d 0 %.3f\n", place(random), place(random), i,
                  anomaly(random));
    text += line;
  }
  WriteFile(path, text);
}

struct InterruptCase {
  const char* name;
  std::vector<std::string> args;
  // Files that exist before: all as they were when the run is interrupted,
  // all new when it finished first.
  std::vector<std::string> outputs;
  int signal;
  double delay;
};

const std::vector<std::string> kRun = {"--input", "big.dat", "--output", "t.dat", "--radius",
                                       "6000", "--band", "1500", "--quiet"};
const std::vector<std::string> kSweep = {"sweep", "--input", "big.dat", "--output", "w.dat",
                                         "--radii", "1000:6000:1000", "--band-ratio", "0.2",
                                         "--curve", "c.csv", "--plot", "p.png", "--quiet"};

std::vector<std::string> With(std::vector<std::string> args, std::vector<std::string> more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

const InterruptCase kCases[] = {
    {"RunWhileReading", kRun, {"t.dat"}, SIGINT, 0.15},
    {"RunWhileComputing", kRun, {"t.dat"}, SIGINT, 0.6},
    {"RunLate", kRun, {"t.dat"}, SIGINT, 2.0},
    {"RunTerminated", kRun, {"t.dat"}, SIGTERM, 0.6},
    {"RunWithAMap", With(kRun, {"--map-residual", "m.png"}), {"t.dat"}, SIGINT, 1.2},
    {"SweepEarly", kSweep, {"w.dat", "c.csv", "p.png"}, SIGINT, 0.3},
    {"SweepMidway", kSweep, {"w.dat", "c.csv", "p.png"}, SIGTERM, 1.5},
    {"SweepLate", kSweep, {"w.dat", "c.csv", "p.png"}, SIGINT, 4.0},
};

// An output as the run writes it whole: the table's every line, the curve's
// every radius, the plot up to its last chunk.
bool Whole(const std::string& path) {
  const std::string text = ReadFile(path);
  if (path.ends_with(".png")) return text.ends_with(std::string("IEND\xae\x42\x60\x82", 8));
  const auto lines = std::count(text.begin(), text.end(), '\n');
  if (path.ends_with(".csv")) return lines == 7;
  return lines == 200001 && text.ends_with("\r\n");
}

class Interrupt : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(Interrupt, LeavesNoTemporaryAndEveryOutputWhole) {
  const InterruptCase& c = GetParam();
  TempDir dir;
  WriteLargeSurvey(dir.File("big.dat"));
  for (const std::string& output : c.outputs) WriteFile(dir.File(output), "former " + output);
  const std::vector<std::string> before = dir.Entries();

  const ChildOutcome run = RunChild(TORVANE_CLI, c.args, dir.path().string(), c.signal, c.delay);
  EXPECT_EQ(dir.Entries(), before) << "a temporary file was left";
  std::size_t former = 0;
  std::size_t whole = 0;
  for (const std::string& output : c.outputs) {
    if (ReadFile(dir.File(output)) == "former " + output) ++former;
    if (Whole(dir.File(output))) ++whole;
  }
  if (run.exit_code == 0) {
    EXPECT_EQ(whole, c.outputs.size()) << "finished before the signal, but not every output whole";
    return;
  }
  // A signal before the program has started (it is still being loaded)
  // ends it at once; it has opened nothing then.
  if (run.signal != c.signal) {
    EXPECT_EQ(run.exit_code, 128 + c.signal) << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
  }
  // All as they were, or (the signal held off while the set was put in
  // place) all new.
  EXPECT_TRUE(former == c.outputs.size() || whole == c.outputs.size())
      << former << " of " << c.outputs.size() << " outputs as they were, " << whole << " new";
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupt, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The run of the first case must really be interrupted on this machine, or
// the table above proves nothing.
TEST(Interrupt, ARunIsLongEnoughToBeInterrupted) {
  TempDir dir;
  WriteLargeSurvey(dir.File("big.dat"));
  const ChildOutcome run = RunChild(TORVANE_CLI, kRun, dir.path().string(), SIGINT, 0.3);
  EXPECT_EQ(run.exit_code, 130) << run.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"big.dat"});
}

}  // namespace
}  // namespace torvane::testing
