// torvane-stop-bench SURVEY [REPEATS] [R D]: how fast the window's Stop
// ends a Calc. The real window (on Qt's offscreen platform unless a display
// is named) runs SURVEY with R and D (1000 and 100 by default); Stop is
// pressed while the file is read, while the points are indexed and while the
// rings are gathered, and "Cancel calculation?" is answered Yes. For each
// phase it prints the longest stretch in which the window handled no event
// during a Calc without Stop (a Stop pressed then waits that long for its
// question), and the median over REPEATS runs (default 5) of the time from
// the Yes to the run's end (Calc's handler returned, the pictures put back).
// Every stopped run must leave the earlier table byte for byte and no
// temporary file beside it.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Hvw.h"
#include "app/qt/HandlerConnections.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/Workbench.h"

namespace {

using torvane::Control;

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

enum class Phase { kReading, kIndexing, kRings };
constexpr const char* kPhaseNames[] = {"reading", "indexing", "rings"};

struct Response {
  double to_end = 0;       // ms from the Yes to the run's end
  bool stopped = false;
};

class StopBench {
 public:
  StopBench(const std::string& folder)
      : folder_(folder), platform_(bench_.dialog(), '.'), form_(platform_) {
    platform_.set_dialog_answerer([](torvane::FileDialog, torvane::FileDialogState&) { return false; });
    platform_.set_message_answerer(
        [this](std::string_view text, std::string_view, torvane::MessageButtons) {
          if (text != "Cancel calculation?") {
            std::fprintf(stderr, "torvane-stop-bench: %.*s\n", static_cast<int>(text.size()), text.data());
            return torvane::MessageResult::kOk;
          }
          answered_ms_ = Milliseconds();
          return torvane::MessageResult::kYes;
        });
    torvane::ConnectHandlers(bench_.dialog(), platform_, form_);
    form_.UseSettingsFile(folder_ + "/torvane.cfg");
    form_.ReadCfg();
    bench_.set_persist_options(false);
    bench_.Attach(platform_, form_);
  }

  void Fill(const std::string& survey, const std::string& table, const char* radius, const char* band) {
    auto* dialog = &bench_.dialog();
    dialog->As<QLineEdit>(Control::txt_in)->setText(QString::fromStdString(survey));
    dialog->As<QLineEdit>(Control::txt_out)->setText(QString::fromStdString(table));
    dialog->As<QLineEdit>(Control::txt_rfs)->setText(radius);
    dialog->As<QLineEdit>(Control::txt_rfa)->setText(band);
  }

  bool Calc() {
    bench_.dialog().As<QAbstractButton>(Control::btn_calc)->click();
    return form_.ResultsReady();
  }

  // A Calc with Stop pressed once `phase` is under way.
  Response CalcStopped(Phase phase, int points) {
    clock_.start();
    pressed_ms_ = answered_ms_ = -1;
    auto* bar = bench_.dialog().As<QProgressBar>(Control::ProgressBar1);
    bar->setRange(0, 100);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (pressed_ms_ >= 0 || !form_.Running()) return;
      const bool rings_ready = bar->maximum() == points;
      const bool now = phase == Phase::kReading    ? !rings_ready
                       : phase == Phase::kIndexing ? rings_ready && bar->value() == 0
                                                   : rings_ready && bar->value() > points / 3;
      if (!now) return;
      pressed_ms_ = Milliseconds();
      bench_.dialog().As<QAbstractButton>(Control::btn_stop)->click();
    });
    watch.start(1);
    Calc();
    const double end_ms = Milliseconds();
    watch.stop();
    Response response;
    response.stopped = form_.Stopped() && pressed_ms_ >= 0 && answered_ms_ >= 0;
    response.to_end = end_ms - answered_ms_;
    return response;
  }

  // A Calc without Stop: the longest stretch of each phase in which the
  // window handled no event (a Stop pressed then waits that long to be seen).
  std::vector<double> LongestWaits(int points) {
    std::vector<double> longest(3, 0.0);
    auto* bar = bench_.dialog().As<QProgressBar>(Control::ProgressBar1);
    bar->setRange(0, 100);
    clock_.start();
    double last = -1;
    int last_phase = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!form_.Running()) return;
      const double now = Milliseconds();
      if (last >= 0) longest[last_phase] = std::max(longest[last_phase], now - last);
      last = now;
      last_phase = bar->maximum() != points ? 0 : bar->value() == 0 ? 1 : 2;
    });
    watch.start(0);
    Calc();
    return longest;
  }

 private:
  std::string folder_;
  torvane::Workbench bench_;
  torvane::QtPlatform platform_;
  torvane::TfrmMain form_;
  double Milliseconds() const { return static_cast<double>(clock_.nsecsElapsed()) * 1e-6; }

  QElapsedTimer clock_;
  double pressed_ms_ = -1, answered_ms_ = -1;
};

int CountPoints(const std::string& survey) {
  std::ifstream file(survey);
  std::string line;
  int count = 0;
  while (std::getline(file, line)) {
    if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-')) ++count;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: torvane-stop-bench SURVEY [REPEATS] [R D]\n");
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  const std::string survey = QDir(argv[1]).absolutePath().toStdString();
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const char* radius = argc > 4 ? argv[3] : "1000";
  const char* band = argc > 4 ? argv[4] : "100";
  QApplication application(argc, argv);
  QTemporaryDir folder;
  const std::string dir = folder.path().toStdString();
  const int points = CountPoints(survey);

  StopBench bench(dir);
  // The earlier table: the survey's first lines.
  {
    std::ifstream in(survey);
    std::ofstream out(dir + "/small.dat");
    std::string line;
    for (int i = 0; i < 2000 && std::getline(in, line); ++i) out << line << '\n';
  }
  bench.Fill(dir + "/small.dat", dir + "/table.dat", radius, band);
  if (!bench.Calc()) {
    std::fprintf(stderr, "torvane-stop-bench: the earlier run failed\n");
    return 1;
  }
  const std::string earlier = ReadWhole(dir + "/table.dat");

  std::printf("%d points, R = %s, D = %s, %d runs a phase\n", points, radius, band, repeats);
  const std::string table = dir + "/run.dat";
  bench.Fill(survey, table, radius, band);
  const std::vector<double> waits = bench.LongestWaits(points);
  std::remove(table.c_str());
  bench.Fill(survey, dir + "/table.dat", radius, band);
  std::printf("%-10s %20s %14s\n", "Stop in", "Stop unseen up to ms", "Yes->end ms");
  int failures = 0;
  for (const Phase phase : {Phase::kReading, Phase::kIndexing, Phase::kRings}) {
    std::vector<double> to_end;
    for (int i = 0; i < repeats; ++i) {
      const Response response = bench.CalcStopped(phase, points);
      const bool kept = ReadWhole(dir + "/table.dat") == earlier &&
                        QDir(QString::fromStdString(dir)).entryList(QDir::Files).size() == 2;
      if (!response.stopped || !kept) {
        std::fprintf(stderr, "torvane-stop-bench: %s: %s\n", kPhaseNames[static_cast<int>(phase)],
                     !response.stopped ? "the run was not stopped" : "the earlier table changed");
        ++failures;
        continue;
      }
      to_end.push_back(response.to_end);
    }
    std::printf("%-10s %20.1f %14.1f\n", kPhaseNames[static_cast<int>(phase)],
                waits[static_cast<std::size_t>(phase)], Median(to_end));
  }
  return failures == 0 ? 0 : 1;
}
