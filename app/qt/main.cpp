// torvane: the desktop window.
//
//   torvane [--config FILE] [--screenshot FILE.png [--map-screenshot FILE.png]] [SURVEY]
//
// SURVEY (a point file, or a grid for the grid field) is opened as if
// dropped on the window. --config reads and writes FILE instead of the
// settings file beside the program. --screenshot presses Calc once the window shows, saves a picture
// of the window when the run has ended and quits without saving settings;
// messages go to stderr instead of boxes. --map-screenshot then also
// double-clicks the residual preview and saves a picture of the map window
// it opens. Made for documentation.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <string_view>

#include "app/Hvw.h"
#include "app/qt/HandlerConnections.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MapWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/Workbench.h"
#include "common/LocaleSeparator.h"

namespace {

// Unattended: messages are printed, questions answered No, dialogs cancelled.
void AnswerForThePerson(torvane::QtPlatform& platform) {
  platform.set_message_answerer(
      [](std::string_view text, std::string_view caption, torvane::MessageButtons) {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return torvane::MessageResult::kNo;
      });
  platform.set_dialog_answerer(
      [](torvane::FileDialog, torvane::FileDialogState&) { return false; });
}

// The window's command line, the same for --help and for a run.
struct CommandLine {
  QCommandLineParser parser;
  QCommandLineOption config{QStringLiteral("config"), "Settings file to read and write.", "file"};
  QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                "Press Calc, save a picture of the window, quit.", "png"};
  QCommandLineOption map_screenshot{
      QStringLiteral("map-screenshot"),
      "With --screenshot: open the residual's map window and save a picture of it.", "png"};

  CommandLine() {
    parser.setApplicationDescription("Ring-average residuals of gravity surveys.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(config);
    parser.addOption(screenshot);
    parser.addOption(map_screenshot);
    parser.addPositionalArgument("file", "A survey (or grid) file to open.", "[file]");
  }
};

// --help and --version answer without a display: they need no window.
bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help" || argument == "-?" ||
        argument == "--help-all" || argument == "-v" || argument == "--version") {
      return true;
    }
  }
  return false;
}

void NameTheApplication() {
  QCoreApplication::setApplicationName("Torvane");
  QCoreApplication::setApplicationVersion(TORVANE_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
  if (AsksForHelpOrVersion(argc, argv)) {
    const QCoreApplication core(argc, argv);
    NameTheApplication();
    CommandLine command_line;
    command_line.parser.process(core);  // prints the answer and exits
    return 0;
  }
  QApplication application(argc, argv);
  NameTheApplication();
  QApplication::setWindowIcon(QIcon(":/torvane/emblem.png"));

  CommandLine command_line;
  command_line.parser.process(application);
  const QCommandLineOption& config = command_line.config;
  const QCommandLineOption& screenshot = command_line.screenshot;
  const QCommandLineOption& map_screenshot = command_line.map_screenshot;

  // QApplication took the user's locale for the C library too; its numeric
  // conventions go back to "C", so that numbers in files are read and written
  // with '.' wherever the program does so.
  std::setlocale(LC_NUMERIC, "C");
  torvane::Workbench bench;
  torvane::MainWindow& window = bench.dialog();
  torvane::QtPlatform platform(window, torvane::LocaleDecimalSeparator());
  torvane::TfrmMain form(platform);
  torvane::ConnectHandlers(window, platform, form);
  const QCommandLineParser& parsed = command_line.parser;
  if (parsed.isSet(config)) form.UseSettingsFile(parsed.value(config).toStdString());

  const QString picture = parsed.value(screenshot);
  if (!picture.isEmpty()) {
    AnswerForThePerson(platform);
    bench.set_persist_options(false);
  }
  form.ReadCfg();
  bench.Attach(platform, form);
  if (!parsed.positionalArguments().isEmpty()) {
    bench.OpenFile(QFileInfo(parsed.positionalArguments().front()).absoluteFilePath());
  }
  window.CentreOnScreen();
  bench.show();
  if (picture.isEmpty()) {
    QApplication::exec();
    return 0;
  }

  QTimer::singleShot(0, &window, [&] {
    window.As<QPushButton>(torvane::Control::btn_calc)->click();
    QApplication::processEvents();
    bool saved = window.grab().save(picture, "PNG");
    if (!saved) std::fprintf(stderr, "torvane: cannot write %s\n", qPrintable(picture));
    const QString map_picture = parsed.value(map_screenshot);
    if (saved && !map_picture.isEmpty()) {
      QWidget* preview = window.Widget(torvane::Control::img_regta);
      const QPointF at(preview->width() / 2.0, preview->height() / 2.0);
      QMouseEvent click(QEvent::MouseButtonDblClick, at, preview->mapToGlobal(at),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(preview, &click);
      auto* map = window.findChild<torvane::MapWindow*>("frmMap");
      if (map != nullptr) {
        map->resize(1000, 760);
        QApplication::processEvents();
      }
      saved = map != nullptr && map->grab().save(map_picture, "PNG");
      if (!saved) std::fprintf(stderr, "torvane: cannot write %s\n", qPrintable(map_picture));
    }
    QCoreApplication::exit(saved ? 0 : 1);
  });
  return QApplication::exec();
}
