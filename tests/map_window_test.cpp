// The map window on Qt's offscreen platform: opened by a double-click on a
// preview once a run has results, zoomed with the wheel, read under the
// cursor, saved, and closed with the main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <filesystem>

#include "app/ControlDefaults.h"
#include "app/Hvw.h"
#include "app/qt/HandlerConnections.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MapWindow.h"
#include "app/qt/QtPlatform.h"
#include "tests/MapReading.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

struct MapSession {
  explicit MapSession(const TempDir& folder) : dir(folder), platform(window, '.'), form(platform) {
    platform.set_executable_path(dir.File("torvane"));
    platform.set_message_answerer([this](std::string_view text, std::string_view, MessageButtons) {
      messages.emplace_back(text);
      return MessageResult::kOk;
    });
    platform.set_dialog_answerer([this](FileDialog, FileDialogState& state) {
      if (save_as.empty()) return false;
      state.file_name = save_as;
      state.filter_index = save_filter;
      return true;
    });
    ConnectHandlers(window, platform, form);
    form.UseSettingsFile(dir.File("torvane.cfg"));
    window.show();
    QApplication::processEvents();
  }

  QWidget* Widget(Control control) {
    return window.findChild<QWidget*>(Q(std::string(DefaultOf(control).name)));
  }
  void Run() {
    qobject_cast<QLineEdit*>(Widget(Control::txt_in))
        ->setText(Q(SourceDir() + "/data/sample_survey.dat"));
    qobject_cast<QLineEdit*>(Widget(Control::txt_out))->setText(Q(dir.File("t.dat")));
    qobject_cast<QLineEdit*>(Widget(Control::txt_rfs))->setText("500");
    qobject_cast<QLineEdit*>(Widget(Control::txt_rfa))->setText("100");
    qobject_cast<QPushButton*>(Widget(Control::btn_calc))->click();
    QApplication::processEvents();
  }
  void DoubleClick(Control image) {
    QWidget* picture = Widget(image);
    const QPointF at(50, 50);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, picture->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &event);
    QApplication::processEvents();
  }
  MapWindow* Map() { return window.findChild<MapWindow*>("frmMap"); }

  const TempDir& dir;
  MainWindow window;
  QtPlatform platform;
  TfrmMain form;
  std::vector<std::string> messages;
  std::string save_as;
  int save_filter = 1;  // PNG, SVG, PDF
};

TEST(MapWindow, DoubleClickBeforeAnyRunOpensNothing) {
  TempDir dir;
  MapSession s(dir);
  s.DoubleClick(Control::img_regta);
  EXPECT_EQ(s.Map(), nullptr);
}

TEST(MapWindow, OpensForThePicturesValueZoomsReadsAndSaves) {
  TempDir dir;
  MapSession s(dir);
  s.Run();
  ASSERT_TRUE(s.form.ResultsReady());
  s.DoubleClick(Control::img_regta);
  MapWindow* map = s.Map();
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->isVisible());
  EXPECT_EQ(map->findChild<QComboBox*>("map_variable")->currentText(), "Residual");
  map->resize(900, 700);
  QApplication::processEvents();
  map->canvas()->grab();  // draws
  const MapView full = map->canvas()->view();
  ASSERT_TRUE(map->canvas()->colour_scale());
  const ColourScale colours = *map->canvas()->colour_scale();

  // Two notches in about the middle: the view is 1.25^2 times smaller, the
  // colour scale stays.
  const QPointF middle(map->canvas()->width() / 2.0, map->canvas()->height() / 2.0);
  QWheelEvent wheel(middle, map->canvas()->mapToGlobal(middle), QPoint(), QPoint(0, 240),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(map->canvas(), &wheel);
  map->canvas()->grab();
  EXPECT_NEAR(map->canvas()->view().width(), full.width() / 1.5625, full.width() * 1e-9);
  EXPECT_NEAR(map->canvas()->view().height(), full.height() / 1.5625, full.height() * 1e-9);
  EXPECT_DOUBLE_EQ(map->canvas()->colour_scale()->mean, colours.mean);

  QMouseEvent move(QEvent::MouseMove, middle, map->canvas()->mapToGlobal(middle), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(map->canvas(), &move);
  const QString status = map->findChild<QLabel*>("map_status")->text();
  EXPECT_TRUE(status.startsWith("X = ")) << status.toStdString();
  EXPECT_TRUE(status.contains(" m   Residual = ")) << status.toStdString();
  EXPECT_TRUE(status.endsWith(" mGal")) << status.toStdString();

  // Another palette and contours: the same view, the colours laid anew.
  auto* palettes = map->findChild<QComboBox*>("map_palette");
  palettes->setCurrentIndex(palettes->findText("viridis"));
  emit palettes->activated(palettes->currentIndex());
  map->findChild<QCheckBox*>("map_contours")->setChecked(true);
  map->canvas()->grab();
  ASSERT_TRUE(map->canvas()->colour_scale());
  EXPECT_EQ(map->canvas()->colour_scale()->palette, Palette::kViridis);
  EXPECT_NEAR(map->canvas()->view().width(), full.width() / 1.5625, full.width() * 1e-9);
  auto* range = map->findChild<QLineEdit*>("map_range");
  range->setText("-1:1");
  emit range->editingFinished();
  map->canvas()->grab();
  ASSERT_TRUE(map->canvas()->colour_scale());
  EXPECT_EQ(map->canvas()->colour_scale()->kind, ScaleKind::kRange);
  EXPECT_DOUBLE_EQ(map->canvas()->colour_scale()->low, -1);
  EXPECT_DOUBLE_EQ(map->canvas()->colour_scale()->high, 1);

  s.save_as = dir.File("zoomed.png");
  map->findChild<QPushButton*>("map_save")->click();
  const DecodedPicture png = DecodePng(dir, s.save_as);
  ASSERT_TRUE(png.ok) << (s.messages.empty() ? "" : s.messages[0]);
  EXPECT_EQ(png.width, map->canvas()->width());
  EXPECT_EQ(png.height, map->canvas()->height());
  // A name without an extension takes the chosen file type's.
  s.save_as = dir.File("plain");
  s.save_filter = 2;
  map->findChild<QPushButton*>("map_save")->click();
  EXPECT_EQ(SvgSize(dir, dir.File("plain.svg")),
            std::to_string(map->canvas()->width()) + "pxx" +
                std::to_string(map->canvas()->height()) + "px");

  // The list switches the value; the main window takes the map along when it closes.
  auto* list = map->findChild<QComboBox*>("map_variable");
  list->setCurrentIndex(0);
  emit list->activated(0);
  EXPECT_EQ(list->currentText(), "CBA");
  EXPECT_DOUBLE_EQ(map->canvas()->view().width(), full.width());  // gridded anew, whole
  EXPECT_FALSE(map->canvas()->colour_scale());  // the CBA lays its own scale when drawn
  list->setCurrentIndex(2);
  emit list->activated(2);
  EXPECT_EQ(list->currentText(), "N");
  map->canvas()->grab();
  ASSERT_TRUE(map->canvas()->colour_scale());
  EXPECT_GT(map->canvas()->colour_scale()->mean, 1);  // rings of the sample survey hold many stations
  // GAP, though the run did not ask for the quality: gathered for the map.
  list->setCurrentIndex(3);
  emit list->activated(3);
  EXPECT_EQ(list->currentText(), "GAP");
  map->canvas()->grab();
  ASSERT_EQ(s.form.RingQualities().size(), s.form.Points().points.size());
  ASSERT_TRUE(map->canvas()->colour_scale());
  EXPECT_GT(map->canvas()->colour_scale()->mean, 0);
  EXPECT_LE(map->canvas()->colour_scale()->mean, 360);
  EXPECT_TRUE(s.messages.empty());
  s.window.close();
  QApplication::processEvents();
  EXPECT_FALSE(map->isVisible());
}

TEST(MapWindow, CalcClosesTheMapOfTheEarlierRun) {
  TempDir dir;
  MapSession s(dir);
  s.Run();
  s.DoubleClick(Control::img_uba);
  MapWindow* map = s.Map();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->findChild<QComboBox*>("map_variable")->currentText(), "CBA");
  EXPECT_TRUE(map->isVisible());
  s.Run();
  EXPECT_FALSE(map->isVisible());
  EXPECT_TRUE(s.form.ResultsReady());
}

}  // namespace
}  // namespace torvane::testing
