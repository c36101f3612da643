// The program's top window on Qt's offscreen platform: the seed dialog with
// the menus, the survey options, the sweep dialog, Stop, the exports and
// files from outside, each checked against what torvane-cli writes for the
// same request.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QMenuBar>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <deque>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <cstring>
#include <random>

#include "app/Hvw.h"
#include "app/qt/GridToolDialogs.h"
#include "app/qt/HandlerConnections.h"
#include "app/qt/MapWindow.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/SurveyOptionsDialog.h"
#include "app/qt/SweepDialog.h"
#include "app/qt/Workbench.h"
#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

using C = Control;

QString Q(const std::string& text) { return QString::fromStdString(text); }

const std::string kSurvey = std::string(TORVANE_SOURCE_DIR) + "/data/sample_survey.dat";
const std::string kStations = std::string(TORVANE_SOURCE_DIR) + "/data/sample_stations.csv";

// The program's window as main() builds it, in a folder of its own, with
// the person at the screen played by the test: messages are recorded and
// answered from a list (OK when it is empty).
struct Bench {
  explicit Bench(const TempDir& folder) : dir(folder), platform(bench.dialog(), '.'), form(platform) {
    platform.set_executable_path(dir.File("torvane"));
    platform.set_message_answerer(
        [this](std::string_view text, std::string_view caption, MessageButtons) {
          messages.push_back(std::string(caption) + ": " + std::string(text));
          if (answers.empty()) return MessageResult::kOk;
          const MessageResult answer = answers.front();
          answers.pop_front();
          return answer;
        });
    platform.set_dialog_answerer([](FileDialog, FileDialogState&) { return false; });
    ConnectHandlers(bench.dialog(), platform, form);
    form.UseSettingsFile(dir.File("torvane.cfg"));
    form.ReadCfg();
    bench.Attach(platform, form);
  }

  template <typename W>
  W* Find(const char* name) {
    return bench.findChild<W*>(name);
  }
  QLineEdit* Edit(C control) { return bench.dialog().As<QLineEdit>(control); }
  QComboBox* List(C control) { return bench.dialog().As<QComboBox>(control); }
  void Click(C control) { bench.dialog().As<QAbstractButton>(control)->click(); }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  void Fill(const std::string& in, const std::string& out, const char* radius, const char* band) {
    Edit(C::txt_in)->setText(Q(in));
    Edit(C::txt_out)->setText(Q(out));
    Edit(C::txt_rfs)->setText(radius);
    Edit(C::txt_rfa)->setText(band);
  }

  const TempDir& dir;
  Workbench bench;
  QtPlatform platform;
  TfrmMain form;
  std::vector<std::string> messages;
  std::deque<MessageResult> answers;
};

// Runs `act` on the modal dialog that the next call opens.
template <typename D>
void OnModal(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(dialog);
  });
}

void PressOk(QDialog* dialog) {
  dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST(Workbench, MenuAboveTheUnchangedDialog) {
  TempDir dir;
  Bench b(dir);
  EXPECT_EQ(b.bench.centralWidget(), &b.bench.dialog());
  EXPECT_EQ(b.bench.dialog().size(), QSize(569, 460));
  QStringList menus;
  for (QAction* menu : b.bench.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Tools", "&Help"}));
  for (const char* action : {"action_open_survey", "action_open_grid", "action_save_table",
                             "action_export_grid", "action_export_map", "action_exit",
                             "action_sweep", "action_convert", "action_grid_residual",
                             "action_grid_map", "action_guide", "action_about"}) {
    EXPECT_NE(b.Find<QAction>(action), nullptr) << action;
  }
  QString guide;
  OnModal<QDialog>([&guide](QDialog* dialog) {
    guide = dialog->findChild<QTextBrowser*>()->toPlainText();
    dialog->reject();
  });
  b.Trigger("action_guide");
  EXPECT_TRUE(guide.contains("The window")) << "the README, built into the program";
}

// The README's lat/lon stations, opened as a user would: the file dropped,
// the CRS chosen in the survey options, the columns picked by their names.
TEST(Workbench, LatLonStationsThroughTheSurveyOptionsGiveTheCliTable) {
  TempDir dir;
  Bench b(dir);
  QMimeData dropped;
  dropped.setUrls({QUrl::fromLocalFile(Q(kStations))});
  // Qt hands a drop to the window that accepted the drag's entering.
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&b.bench, &enter);
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&b.bench, &drop);
  EXPECT_EQ(b.Edit(C::txt_in)->text(), Q(kStations));
  EXPECT_EQ(b.List(C::cmb_gx)->itemText(0), "A - station");
  EXPECT_EQ(b.List(C::cmb_gx)->itemText(2), "C - longitude");
  EXPECT_EQ(b.List(C::cmb_uba)->itemText(5), "F");

  b.List(C::cmb_gx)->setCurrentIndex(2);
  b.List(C::cmb_gy)->setCurrentIndex(1);
  b.List(C::cmb_point)->setCurrentIndex(0);
  b.List(C::cmb_uba)->setCurrentIndex(4);
  OnModal<SurveyOptionsDialog>([](SurveyOptionsDialog* dialog) {
    dialog->crs()->setCurrentText("not a crs");
    QLabel* check = dialog->findChild<QLabel*>("options_crs_check");
    EXPECT_TRUE(check->text().contains("PROJ does not know")) << check->text().toStdString();
    dialog->crs()->setCurrentText("EPSG:4326");
    EXPECT_TRUE(check->text().contains("geographic")) << check->text().toStdString();
    EXPECT_GE(dialog->crs()->findText("EPSG:32735"), 0) << "the UTM zone of the survey's centre";
    PressOk(dialog);
  });
  b.Trigger("action_survey_options");
  EXPECT_EQ(b.bench.options().crs.crs, "EPSG:4326");
  EXPECT_NE(ReadFile(dir.File("torvane.options")).find("crs=EPSG:4326\n"), std::string::npos);

  b.Fill(kStations, dir.File("window.dat"), "500", "100");
  b.Click(C::btn_calc);
  ASSERT_TRUE(b.form.ResultsReady()) << ::testing::PrintToString(b.messages);

  const CliResult cli = RunCli(dir, {"--input", kStations, "--output", dir.File("cli.dat"), "--crs",
                                     "EPSG:4326", "--columns", "longitude,latitude,station,cba",
                                     "--radius", "500", "--band", "100", "--quiet"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  EXPECT_EQ(ReadFile(dir.File("window.dat")), ReadFile(dir.File("cli.dat")));
  const std::string status = b.bench.StatusText().toStdString();
  EXPECT_NE(status.find("3000 points read, 0 rows skipped, "), std::string::npos) << status;
  EXPECT_NE(status.find("work CRS: EPSG:32735"), std::string::npos) << status;

  // The residual grid exported after the run is in the work CRS, in metres.
  OnModal<QDialog>([&](QDialog* dialog) {
    dialog->findChild<QLineEdit*>("export_grid_file")->setText(Q(dir.File("residual.tif")));
    dialog->findChild<QDoubleSpinBox*>("export_grid_cell")->setValue(200);
    PressOk(dialog);
  });
  b.Trigger("action_export_grid");
  GDALAllRegister();
  std::unique_ptr<GDALDataset> grid(
      static_cast<GDALDataset*>(GDALOpen(dir.File("residual.tif").c_str(), GA_ReadOnly)));
  ASSERT_NE(grid, nullptr) << ::testing::PrintToString(b.messages);
  const OGRSpatialReference* srs = grid->GetSpatialRef();
  ASSERT_NE(srs, nullptr) << "no CRS in the GeoTIFF";
  int north = 1;
  EXPECT_EQ(srs->GetUTMZone(&north), 35);
  EXPECT_EQ(north, 0) << "the southern zone";
  double transform[6];
  ASSERT_EQ(grid->GetGeoTransform(transform), CE_None);
  EXPECT_EQ(transform[1], 200);
  EXPECT_GT(transform[0], 100000) << "eastings in metres, not degrees";
  EXPECT_LT(transform[0], 900000);
}

// 400 stations of absolute gravity and height, lat/lon:
// station,latitude,longitude,elevation,gravity.
void WriteRawStations(const std::string& path) {
  std::string raw = "station,latitude,longitude,elevation,gravity\n";
  std::mt19937 random(3);
  std::uniform_real_distribution<double> offset(0, 0.05), height(1000, 1600), anomaly(-20, 20);
  for (int i = 0; i < 400; ++i) {
    const double h = height(random);
    const double latitude = -26 + offset(random), longitude = 27 + offset(random);
    const double gravity = 978600 - 0.2 * (h - 1300) + anomaly(random);
    raw.append("S").append(std::to_string(i)).append(",").append(std::to_string(latitude));
    raw.append(",").append(std::to_string(longitude)).append(",").append(std::to_string(h));
    raw.append(",").append(std::to_string(gravity)).append("\n");
  }
  WriteFile(path, raw);
}

// Raw stations (absolute gravity and height) reduced in the window's run, as
// the survey options say (a free-air gradient and Bullard B among them),
// give the table of --gravity-column.
TEST(Workbench, AbsoluteGravityThroughTheSurveyOptionsGivesTheCliTable) {
  TempDir dir;
  WriteRawStations(dir.File("raw.csv"));
  Bench b(dir);
  b.Fill(dir.File("raw.csv"), dir.File("window.csv"), "1000", "300");
  b.List(C::cmb_gx)->setCurrentIndex(2);
  b.List(C::cmb_gy)->setCurrentIndex(1);
  b.List(C::cmb_point)->setCurrentIndex(0);
  b.List(C::cmb_uba)->setCurrentIndex(4);
  OnModal<SurveyOptionsDialog>([](SurveyOptionsDialog* dialog) {
    dialog->findChild<QCheckBox*>("options_absolute_gravity")->setChecked(true);
    dialog->findChild<QComboBox*>("options_height_column")->setCurrentIndex(3);
    dialog->findChild<QLineEdit*>("options_free_air_gradient")->setText("0.3086");
    dialog->findChild<QCheckBox*>("options_bullard_b")->setChecked(true);
    QLabel* check = dialog->findChild<QLabel*>("options_crs_check");
    EXPECT_TRUE(check->text().contains("needs the stations' CRS")) << check->text().toStdString();
    dialog->crs()->setCurrentText("EPSG:4326");
    PressOk(dialog);
  });
  b.Trigger("action_survey_options");
  ASSERT_TRUE(b.bench.options().absolute_gravity);
  b.Click(C::btn_calc);
  ASSERT_TRUE(b.form.ResultsReady()) << ::testing::PrintToString(b.messages);

  const CliResult cli = RunCli(
      dir, {"--input", dir.File("raw.csv"), "--output", dir.File("cli.csv"), "--crs", "EPSG:4326",
            "--columns", "longitude,latitude,station", "--gravity-column", "gravity",
            "--height-column", "elevation", "--free-air-gradient", "0.3086", "--bullard-b",
            "--radius", "1000", "--band", "300", "--quiet"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  EXPECT_EQ(ReadFile(dir.File("window.csv")), ReadFile(dir.File("cli.csv")));
}

// The status line counts what the run read: damaged rows of several kinds
// are skipped and counted (a comment, a header and a blank line are no
// rows), and the empty rings are the table's N = 0 rows.
TEST(Workbench, StatusLineCountsTheDamagedRowsAndEmptyRings) {
  TempDir dir;
  WriteFile(dir.File("damaged.dat"),
            "/ survey with damage\n"
            "X Y POINT H CBA\n"
            "0 0 1 0 10\n"
            "100 0 2 0 4\n"
            "5 5\n"                  // too few fields
            "0 100 3 0 6\n"
            "100 100 4 0 x\n"        // CBA no number
            "\n"
            "200 200 6 0 nan\n"      // not finite
            "70 70 7 0 2,5\n"        // comma decimals
            "50 50 5 0 3\n");
  Bench b(dir);
  b.Fill(dir.File("damaged.dat"), dir.File("table.dat"), "100", "10");
  b.Click(C::btn_calc);
  ASSERT_TRUE(b.form.ResultsReady()) << ::testing::PrintToString(b.messages);
  const std::string table = ReadFile(dir.File("table.dat"));
  int rows = -1, empty = 0;
  for (std::size_t at = 0; (at = table.find("\r\n", at)) != std::string::npos; at += 2) {
    ++rows;
    if (at >= 2 && table.compare(at - 2, 2, " 0") == 0) ++empty;
  }
  EXPECT_EQ(rows, 4);
  EXPECT_EQ(empty, 1);
  const std::string status = b.bench.StatusText().toStdString();
  EXPECT_EQ(status.rfind("4 points read, 4 rows skipped, 1 with N = 0, "
                         "work CRS: none (coordinates as in the file), ", 0),
            0u)
      << status;
}

TEST(Workbench, SweepFromTheDialogIsTheCliSweepAndAClickSetsRAndD) {
  TempDir dir;
  Bench b(dir);
  b.Edit(C::txt_in)->setText(Q(kSurvey));
  SweepDialog dialog(&b.bench, b.platform, b.form, b.bench.options());
  dialog.radii()->setText("300,500,700");
  dialog.ratio()->setChecked(true);
  dialog.band()->setText("0.2");
  ASSERT_TRUE(dialog.RunSweep()) << ::testing::PrintToString(b.messages);
  ASSERT_TRUE(dialog.SaveTable(dir.File("window_sweep.dat")));
  ASSERT_TRUE(dialog.SaveCurve(dir.File("window_curve.csv")));
  const CliResult cli =
      RunCli(dir, {"sweep", "--input", kSurvey, "--output", dir.File("cli_sweep.dat"), "--radii",
                   "300,500,700", "--band-ratio", "0.2", "--curve", dir.File("cli_curve.csv"),
                   "--quiet"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  EXPECT_EQ(ReadFile(dir.File("window_sweep.dat")), ReadFile(dir.File("cli_sweep.dat")));
  EXPECT_EQ(ReadFile(dir.File("window_curve.csv")), ReadFile(dir.File("cli_curve.csv")));

  dialog.show();
  QApplication::processEvents();
  CurveView* curve = dialog.curve_view();
  const QPointF at(curve->XOf(1) + 3, curve->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, curve->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(curve, &press);
  EXPECT_EQ(b.Edit(C::txt_rfs)->text(), "500");
  EXPECT_EQ(b.Edit(C::txt_rfa)->text(), "100");
}

// A survey large enough that the rings take many event passes: Stop pressed
// once they run, answered Yes, ends the run, and the table and pictures of
// the run before stay as they were.
TEST(Workbench, StopDuringTheRingsLeavesTheEarlierTableAndPictures) {
  TempDir dir;
  Bench b(dir);
  b.Fill(kSurvey, dir.File("table.dat"), "500", "100");
  b.bench.dialog().As<QAbstractButton>(C::cb_preview)->setChecked(true);
  b.Click(C::btn_calc);
  ASSERT_TRUE(b.form.ResultsReady());
  const std::string earlier = ReadFile(dir.File("table.dat"));
  const auto picture = [&](C image) {
    return b.bench.dialog().As<QLabel>(image)->pixmap().toImage();
  };
  const QImage left = picture(C::img_uba), right = picture(C::img_regta);

  constexpr int kPoints = 400000;
  std::string survey;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(0, 40000), value(-50, 0);
  for (int i = 0; i < kPoints; ++i) {
    survey += std::to_string(place(random)) + " " + std::to_string(place(random)) + " " +
              std::to_string(i) + " 0 " + std::to_string(value(random)) + "\n";
  }
  WriteFile(dir.File("large.dat"), survey);
  b.Edit(C::txt_in)->setText(Q(dir.File("large.dat")));
  b.bench.dialog().As<QAbstractButton>(C::cb_preview)->setChecked(false);
  b.messages.clear();
  b.answers = {MessageResult::kYes};
  bool pressed = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const auto* bar = b.bench.dialog().As<QProgressBar>(C::ProgressBar1);
    if (!pressed && b.form.Running() && bar->maximum() == kPoints) {
      pressed = true;
      b.Click(C::btn_stop);
    }
  });
  watch.start(1);
  b.Click(C::btn_calc);
  watch.stop();

  ASSERT_TRUE(pressed);
  EXPECT_EQ(b.messages, std::vector<std::string>{"Warning: Cancel calculation?"});
  EXPECT_TRUE(b.form.Stopped());
  EXPECT_FALSE(b.form.ResultsReady());
  EXPECT_EQ(ReadFile(dir.File("table.dat")), earlier);
  EXPECT_EQ(picture(C::img_uba), left);
  EXPECT_EQ(picture(C::img_regta), right);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"large.dat", "table.dat", "torvane.options"}))
      << "no temporary file left";
}

// The residual grid exported from the menu is the one torvane-cli writes
// with --residual-grid, node for node as GDAL reads both.
TEST(Workbench, ExportedResidualGridIsTheCliGridAsGdalReadsIt) {
  TempDir dir;
  Bench b(dir);
  b.Fill(kSurvey, dir.File("table.dat"), "500", "100");
  b.Click(C::btn_calc);
  ASSERT_TRUE(b.form.ResultsReady());
  // A grid named as the run's own table is refused, and the table stays.
  const std::string table = ReadFile(dir.File("table.dat"));
  OnModal<QDialog>([&](QDialog* dialog) {
    dialog->findChild<QLineEdit*>("export_grid_file")->setText(Q(dir.File("./table.dat")));
    PressOk(dialog);
    dialog->reject();
  });
  b.Trigger("action_export_grid");
  ASSERT_EQ(b.messages.size(), 1u);
  EXPECT_NE(b.messages[0].find("must not be the same"), std::string::npos) << b.messages[0];
  EXPECT_EQ(ReadFile(dir.File("table.dat")), table);
  OnModal<QDialog>([&](QDialog* dialog) {
    dialog->findChild<QLineEdit*>("export_grid_file")->setText(Q(dir.File("window.tif")));
    dialog->findChild<QDoubleSpinBox*>("export_grid_cell")->setValue(250);
    PressOk(dialog);
  });
  b.Trigger("action_export_grid");
  const CliResult cli =
      RunCli(dir, {"--input", kSurvey, "--output", dir.File("cli.dat"), "--radius", "500",
                   "--band", "100", "--residual-grid", dir.File("cli.tif"), "--cell", "250", "--quiet"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;

  GDALAllRegister();
  const auto read = [](const std::string& path, std::vector<float>& nodes, double* transform,
                       std::string& crs) {
    std::unique_ptr<GDALDataset> data(static_cast<GDALDataset*>(GDALOpen(path.c_str(), GA_ReadOnly)));
    ASSERT_NE(data, nullptr) << path;
    data->GetGeoTransform(transform);
    const int w = data->GetRasterXSize(), h = data->GetRasterYSize();
    nodes.resize(static_cast<std::size_t>(w) * h);
    ASSERT_EQ(data->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, w, h, nodes.data(), w, h,
                                               GDT_Float32, 0, 0),
              CE_None);
    crs = data->GetProjectionRef() ? data->GetProjectionRef() : "";
  };
  std::vector<float> window_nodes, cli_nodes;
  double window_transform[6], cli_transform[6];
  std::string window_crs, cli_crs;
  read(dir.File("window.tif"), window_nodes, window_transform, window_crs);
  read(dir.File("cli.tif"), cli_nodes, cli_transform, cli_crs);
  EXPECT_EQ(window_transform[1], 250);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(window_transform[i], cli_transform[i]);
  ASSERT_EQ(window_nodes.size(), cli_nodes.size());
  EXPECT_EQ(0, std::memcmp(window_nodes.data(), cli_nodes.data(), window_nodes.size() * sizeof(float)));
  EXPECT_EQ(window_crs, cli_crs);
}

// The map of a grid file names what the grid says of itself, as
// `torvane-cli map` does: a GeoTIFF's CRS on the axes, in metres; a grid
// that names none is in degrees when the dialog says so, with the title typed.
TEST(Workbench, GridMapNamesTheGridsCrsAndTakesTheMapCommandsTitle) {
  TempDir dir;
  GDALAllRegister();
  {
    GDALDriver* tiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    std::unique_ptr<GDALDataset> grid(tiff->Create(dir.File("utm.tif").c_str(), 20, 10, 1,
                                                   GDT_Float32, nullptr));
    double transform[6] = {500000, 100, 0, 7100000, 0, -100};
    grid->SetGeoTransform(transform);
    OGRSpatialReference utm;
    utm.importFromEPSG(32735);
    grid->SetSpatialRef(&utm);
    std::vector<float> nodes(200);
    for (std::size_t i = 0; i < nodes.size(); ++i) nodes[i] = static_cast<float>(i % 20);
    ASSERT_EQ(grid->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 20, 10, nodes.data(), 20, 10,
                                               GDT_Float32, 0, 0),
              CE_None);
  }
  std::string ascii = "ncols 20\nnrows 10\nxllcorner 27\nyllcorner -26\ncellsize 0.01\nNODATA_value -9999\n";
  for (int r = 0; r < 10; ++r) {
    for (int c = 0; c < 20; ++c) ascii += std::to_string(r + c) + (c < 19 ? " " : "\n");
  }
  WriteFile(dir.File("degrees.asc"), ascii);

  struct Case {
    std::string file, title;
    bool geographic;
    std::string crs_name, shown_title, unit;
  };
  const Case cases[] = {
      {"utm.tif", "", false, "EPSG:32735 - WGS 84 / UTM zone 35S", "utm.tif", " m   Y = "},
      {"degrees.asc", "Bouguer anomaly", true, "", "Bouguer anomaly", "\u00b0   Y = "},
  };
  Bench b(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    OnModal<QDialog>([&](QDialog* dialog) {
      dialog->findChild<QLineEdit*>("map_in")->setText(Q(dir.File(c.file)));
      dialog->findChild<QLineEdit*>("map_title")->setText(Q(c.title));
      dialog->findChild<QCheckBox*>("map_geographic")->setChecked(c.geographic);
      PressOk(dialog);
      if (dialog->isVisible()) dialog->reject();  // the map could not be shown
    });
    b.Trigger("action_grid_map");
    auto* map = b.Find<GridMapWindow>("frmGridMap");
    ASSERT_NE(map, nullptr) << ::testing::PrintToString(b.messages);
    EXPECT_EQ(map->scene().crs_name, c.crs_name);
    EXPECT_EQ(map->scene().title, c.shown_title);
    EXPECT_EQ(map->scene().geographic, c.geographic);
    map->resize(800, 600);
    QApplication::processEvents();
    map->canvas()->grab();  // draws
    const QString read_out =
        map->canvas()->Describe(QPointF(map->canvas()->width() / 2.0, map->canvas()->height() / 2.0));
    EXPECT_TRUE(read_out.contains(Q(c.unit))) << read_out.toStdString();
    delete map;
  }
  EXPECT_TRUE(b.messages.empty()) << ::testing::PrintToString(b.messages);
}

// Tools > File information tells what `torvane-cli info` tells: of a grid,
// and of a point file read with the dialog's columns and the survey
// options' CRS.
TEST(Workbench, FileInformationIsTheCliInfo) {
  TempDir dir;
  const std::string grid = std::string(TORVANE_SOURCE_DIR) + "/data/sample_cba.grd";
  struct Case {
    std::string file;
    std::string crs;
    std::vector<std::string> cli_flags;
  };
  const Case cases[] = {
      {grid, "", {}},
      {kStations, "EPSG:4326", {"--crs", "EPSG:4326", "--columns", "C,B,A,E"}},
  };
  Bench b(dir);
  b.List(C::cmb_gx)->setCurrentIndex(2);
  b.List(C::cmb_gy)->setCurrentIndex(1);
  b.List(C::cmb_point)->setCurrentIndex(0);
  b.List(C::cmb_uba)->setCurrentIndex(4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    SurveyOptions options = b.bench.options();
    options.crs.crs = c.crs;
    b.bench.SetOptions(options);
    b.platform.set_dialog_answerer([&c](FileDialog, FileDialogState& state) {
      state.file_name = c.file;
      return true;
    });
    QString shown;
    OnModal<QDialog>([&shown](QDialog* dialog) {
      shown = dialog->findChild<QPlainTextEdit*>("file_info_text")->toPlainText();
      dialog->reject();
    });
    b.Trigger("action_file_info");
    std::vector<std::string> flags = {"info", c.file};
    flags.insert(flags.end(), c.cli_flags.begin(), c.cli_flags.end());
    const CliResult cli = RunCli(dir, flags);
    ASSERT_EQ(cli.exit_code, 0) << cli.err;
    EXPECT_EQ(shown.toStdString(), cli.out);
    EXPECT_NE(cli.out.find(c.crs.empty() ? "surfer7" : "UTM zone 35S"), std::string::npos);
  }
  EXPECT_TRUE(b.messages.empty()) << ::testing::PrintToString(b.messages);
}

// Tools > Reduce gravity writes the table of `torvane-cli reduce` for the
// survey the window names, its columns and the survey options' reduction.
TEST(Workbench, ReduceGravityIsTheCliReduceTable) {
  TempDir dir;
  WriteRawStations(dir.File("raw.csv"));
  Bench b(dir);
  b.Edit(C::txt_in)->setText(Q(dir.File("raw.csv")));
  b.List(C::cmb_gx)->setCurrentIndex(2);
  b.List(C::cmb_gy)->setCurrentIndex(1);
  b.List(C::cmb_point)->setCurrentIndex(0);
  b.List(C::cmb_uba)->setCurrentIndex(4);
  SurveyOptions options = b.bench.options();
  options.crs.crs = "EPSG:4326";
  options.height_column = 3;
  options.reduction.free_air_gradient = 0.3086;
  options.reduction.bullard_b = true;
  b.bench.SetOptions(options);
  OnModal<QDialog>([&](QDialog* dialog) {
    EXPECT_EQ(dialog->findChild<QLineEdit*>("reduce_out")->text(), Q(dir.File("raw_reduced.csv")));
    PressOk(dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  b.Trigger("action_reduce");
  ASSERT_TRUE(b.messages.empty()) << ::testing::PrintToString(b.messages);
  const CliResult cli =
      RunCli(dir, {"reduce", "--input", dir.File("raw.csv"), "--output", dir.File("cli.csv"),
                   "--crs", "EPSG:4326", "--columns", "C,B,A,E", "--height-column", "D",
                   "--free-air-gradient", "0.3086", "--bullard-b", "--quiet"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  const std::string table = ReadFile(dir.File("raw_reduced.csv"));
  EXPECT_EQ(table, ReadFile(dir.File("cli.csv")));
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 401);
}

// `torvane FILE` opens the survey: Calc then writes the table at the name
// proposed for it.
TEST(WorkbenchProgram, FileOnTheCommandLineIsTheSurvey) {
  TempDir dir;
  WriteFile(dir.File("survey.dat"), "0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n");
  std::string settings(820, '\0');
  const double radius = 100, band = 10;
  std::memcpy(&settings[510], &radius, 8);
  std::memcpy(&settings[518], &band, 8);
  const int columns[] = {0, 1, 2, 4};  // X, Y, point, CBA: A, B, C, E
  std::memcpy(&settings[543], columns, sizeof columns);
  WriteFile(dir.File("session.cfg"), settings);
  const ProgramResult run = RunProgram(
      dir, TORVANE_WINDOW,
      {"--config", dir.File("session.cfg"), "--screenshot", dir.File("window.png"),
       dir.File("survey.dat")},
      "QT_QPA_PLATFORM=offscreen");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFile(dir.File("survey_torvane.dat")),
            "         X          Y      POINT          U    TORVANE          N\r\n"
            "       0.0        0.0        1.0     10.000   5.000000          2\r\n"
            "     100.0        0.0        2.0      4.000  -6.000000          1\r\n"
            "       0.0      100.0        3.0      6.000  -4.000000          1\r\n");
}

}  // namespace
}  // namespace torvane::testing
