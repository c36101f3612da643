// The desktop window on Qt's offscreen platform: its controls, the wiring of
// their signals to the handlers, the platform operations on real widgets, and
// the program itself.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <filesystem>

#include "app/ControlDefaults.h"
#include "app/Hvw.h"
#include "app/qt/FileDialogFilter.h"
#include "app/qt/HandlerConnections.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "tests/ProgramRun.h"
#include "tests/SettingsBytes.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

using C = Control;

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A window as the program builds it, in a folder of its own (its settings
// file is "torvane.cfg" there), with the person at the screen played by the
// test: messages are recorded and answered OK, file dialogs answered from a
// list (cancel when it is empty).
struct TestWindow {
  explicit TestWindow(const TempDir& folder, char separator = '.')
      : dir(folder), platform(window, separator), form(platform) {
    platform.set_executable_path(dir.File("torvane"));
    platform.set_message_answerer(
        [this](std::string_view text, std::string_view caption, MessageButtons) {
          messages.push_back(std::string(caption) + ": " + std::string(text));
          return MessageResult::kOk;
        });
    platform.set_dialog_answerer([this](FileDialog, FileDialogState& state) {
      if (dialog_answers.empty()) return false;
      state.file_name = dialog_answers.front();
      dialog_answers.pop_front();
      return true;
    });
    ConnectHandlers(window, platform, form);
    form.UseSettingsFile(dir.File("torvane.cfg"));
    form.ReadCfg();
  }

  QWidget* Widget(Control control) {
    return window.findChild<QWidget*>(Q(DefaultOf(control).name));
  }
  QLineEdit* Edit(Control control) { return qobject_cast<QLineEdit*>(Widget(control)); }
  QComboBox* List(Control control) { return qobject_cast<QComboBox*>(Widget(control)); }
  QCheckBox* Box(Control control) { return qobject_cast<QCheckBox*>(Widget(control)); }
  void Click(Control control) { qobject_cast<QAbstractButton*>(Widget(control))->click(); }
  QImage Picture(Control image) {
    const QLabel* label = qobject_cast<QLabel*>(Widget(image));
    return label->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
  void ShowActive() {
    window.show();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
  }

  const TempDir& dir;
  MainWindow window;
  QtPlatform platform;
  TfrmMain form;
  std::vector<std::string> messages;
  std::deque<std::string> dialog_answers;
};

QLabel* LabelOf(const MainWindow& window, const QWidget* control) {
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->buddy() == control) return label;
  }
  return nullptr;
}

TEST(Window, EveryNamedControlWithItsLabelDefaultAndHint) {
  TempDir dir;
  TestWindow w(dir);
  for (const ControlDefault& d : ControlDefaults()) {
    SCOPED_TRACE(std::string(d.name));
    QWidget* control = w.Widget(d.control);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->toolTip(), Q(d.hint));
    const auto* button = qobject_cast<QAbstractButton*>(control);
    if (d.kind == ControlKind::kButton || d.kind == ControlKind::kCheckBox) {
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->text(), Q(d.label));
    } else if (!d.label.empty()) {
      const QLabel* label = LabelOf(w.window, control);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->text(), Q(d.label));
    }
    if (d.kind == ControlKind::kEdit) {
      EXPECT_EQ(w.Edit(d.control)->text(), Q(d.text));
    }
    if (d.kind == ControlKind::kCombo) {
      QStringList items;
      for (const std::string_view item : ItemsOf(d.control)) items << Q(item);
      QStringList shown;
      for (int i = 0; i < w.List(d.control)->count(); ++i) shown << w.List(d.control)->itemText(i);
      EXPECT_EQ(shown, items);
      EXPECT_EQ(w.List(d.control)->currentIndex(), d.item_index);
    }
    if (d.kind == ControlKind::kCheckBox) {
      EXPECT_FALSE(button->isChecked());
    }
    if (d.kind == ControlKind::kProgressBar) {
      EXPECT_NE(qobject_cast<QProgressBar*>(control), nullptr);
    }
  }
  // A few of them as a user reads them.
  EXPECT_EQ(w.Edit(C::txt_n)->text(), "360");
  EXPECT_EQ(w.List(C::cmb_uba)->currentText(), "E");
  EXPECT_EQ(w.List(C::cmb_point)->itemText(25), "Z");
  EXPECT_EQ(w.List(C::cb2)->currentText(), "TORVANE");
  EXPECT_EQ(LabelOf(w.window, w.Widget(C::txt_rfa))->text(), "+-Depth arround radius [m]");
  EXPECT_EQ(w.Widget(C::btn_calc)->toolTip(), "Calc gradients and save results to output file.");
}

TEST(Window, FixedCentredWindowWithPicturesAndEmblem) {
  TempDir dir;
  TestWindow w(dir);
  EXPECT_EQ(w.window.windowTitle(), "Torvane");
  EXPECT_EQ(w.window.minimumSize(), QSize(569, 460));
  EXPECT_EQ(w.window.maximumSize(), QSize(569, 460));
  const Qt::WindowFlags flags = w.window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(w.Widget(C::img_uba)->size(), QSize(177, 145));
  EXPECT_EQ(w.Widget(C::img_regta)->size(), QSize(177, 145));
  const auto* emblem = w.window.findChild<QLabel*>("emblem");
  ASSERT_NE(emblem, nullptr);
  EXPECT_EQ(emblem->pixmap().size(), QSize(101, 101));
  EXPECT_EQ(emblem->geometry().bottomRight(), QPoint(558, 449)) << "at the lower right";
  // Stop lies under Exit, hidden until a run starts.
  EXPECT_EQ(w.Widget(C::btn_stop)->geometry(), w.Widget(C::btn_exit)->geometry());
  EXPECT_FALSE(w.Widget(C::btn_stop)->isVisibleTo(&w.window));
  EXPECT_TRUE(w.Widget(C::btn_exit)->isVisibleTo(&w.window));
}

// Every text can be read whole, and no control covers another.
TEST(Window, TidyLayout) {
  TempDir dir;
  TestWindow w(dir);
  const QRect client(0, 0, 569, 460);
  std::vector<QWidget*> placed;
  for (QWidget* child : w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    SCOPED_TRACE(child->objectName().toStdString());
    EXPECT_TRUE(client.contains(child->geometry()));
    if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && !label->text().isEmpty()) {
      const int needed =
          label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
      EXPECT_LE(needed, label->height());
      if (!label->wordWrap()) {
        EXPECT_LE(label->sizeHint().width(), label->width());
      }
    }
    if (auto* box = qobject_cast<QCheckBox*>(child)) {
      EXPECT_LE(box->sizeHint().width(), box->width());
    }
    if (auto* button = qobject_cast<QPushButton*>(child)) {
      const int caption = button->fontMetrics().horizontalAdvance(button->text().remove('&'));
      EXPECT_LE(caption + 12, button->width()) << "caption and a margin";
    }
    if (child->objectName() == "btn_stop" || child->objectName().isEmpty()) continue;  // lines
    for (const QWidget* other : placed) {
      EXPECT_FALSE(child->geometry().intersects(other->geometry()))
          << "overlaps " << other->objectName().toStdString();
    }
    placed.push_back(child);
  }
}

constexpr const char* kSurvey = "X Y POINT H CBA\n0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n";
constexpr const char* kTable =
    "         X          Y      POINT          U    TORVANE          N\r\n"
    "       0.0        0.0        1.0     10.000   5.000000          2\r\n"
    "     100.0        0.0        2.0      4.000  -6.000000          1\r\n"
    "       0.0      100.0        3.0      6.000  -4.000000          1\r\n";

bool ClearedPicture(const QImage& picture) {
  if (picture.size() != QSize(177, 145)) return false;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const bool frame = x == 0 || y == 0 || x == 176 || y == 144;
      if (picture.pixel(x, y) != (frame ? qRgb(0, 0, 0) : qRgb(255, 255, 255))) return false;
    }
  }
  return true;
}

TEST(Window, RunFromFilledFieldsWritesTheTable) {
  TempDir dir;
  TestWindow w(dir);
  WriteFile(dir.File("survey.dat"), kSurvey);
  w.Edit(C::txt_in)->setText(Q(dir.File("survey.dat")));
  w.Edit(C::txt_out)->setText(Q(dir.File("table.dat")));
  w.Edit(C::txt_rfs)->setText("100");
  w.Edit(C::txt_rfa)->setText("10");
  w.Box(C::cb_preview)->setChecked(true);
  w.platform.ShowPicture(C::img_uba, RgbCanvas(177, 145));  // black: the run clears it

  w.Click(C::btn_calc);

  EXPECT_EQ(ReadFile(dir.File("table.dat")), kTable);
  EXPECT_EQ(w.messages, std::vector<std::string>{});
  EXPECT_TRUE(w.form.ResultsReady());
  EXPECT_TRUE(ClearedPicture(w.Picture(C::img_uba)));
  EXPECT_TRUE(ClearedPicture(w.Picture(C::img_regta)));
  QApplication::processEvents();  // the bar shows the last position from here on
  const auto* bar = qobject_cast<QProgressBar*>(w.Widget(C::ProgressBar1));
  EXPECT_EQ(bar->maximum(), 3);
  EXPECT_EQ(bar->value(), 3);
  EXPECT_TRUE(w.Widget(C::btn_calc)->isEnabled());
  EXPECT_TRUE(w.Widget(C::btn_exit)->isVisibleTo(&w.window));
  EXPECT_FALSE(w.Widget(C::btn_stop)->isVisibleTo(&w.window));
}

TEST(Window, MessagesOfTheRunCarryTheApplicationsTitle) {
  TempDir dir;
  TestWindow w(dir);
  w.Edit(C::txt_in)->setText(Q(dir.File("none.dat")));
  w.Edit(C::txt_out)->setText(Q(dir.File("table.dat")));
  w.Edit(C::txt_rfs)->setText("100");
  w.Click(C::btn_calc);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Torvane: Cannot open input data file"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("table.dat")));
}

// A close asked for while the run processes events is refused; the window
// stays, and the settings are written only by a later close.
TEST(Window, CloseDuringARunIsRefused) {
  TempDir dir;
  TestWindow w(dir);
  w.ShowActive();
  WriteFile(dir.File("survey.dat"), kSurvey);
  w.Edit(C::txt_in)->setText(Q(dir.File("survey.dat")));
  w.Edit(C::txt_out)->setText(Q(dir.File("table.dat")));
  w.Edit(C::txt_rfs)->setText("100");
  QMetaObject::invokeMethod(&w.window, &QWidget::close, Qt::QueuedConnection);

  w.Click(C::btn_calc);

  EXPECT_TRUE(w.window.isVisible());
  EXPECT_FALSE(std::filesystem::exists(dir.File("torvane.cfg")));
  EXPECT_EQ(ReadFile(dir.File("table.dat")), kTable);
  w.Click(C::btn_exit);
  EXPECT_FALSE(w.window.isVisible());
  EXPECT_TRUE(std::filesystem::exists(dir.File("torvane.cfg")));
}

TEST(Window, ExitWritesTheSettingsAndANewWindowReadsThemBack) {
  TempDir dir;
  {
    TestWindow w(dir, ',');
    w.ShowActive();
    w.Edit(C::txt_in)->setText("/data/survey 7.dat");
    w.Edit(C::txt_out)->setText("/data/survey 7_torvane.dat");
    w.Edit(C::txt_rfs)->setText("1234,5");
    w.Edit(C::txt_rfa)->setText("0,25");
    w.Edit(C::txt_nearest)->setText("800");
    w.Edit(C::txt_grd)->setText("/grids/cba.grd");
    w.Edit(C::txt_n)->setText("720");
    w.List(C::cmb_gx)->setCurrentIndex(3);
    w.List(C::cmb_uba)->setCurrentIndex(25);
    w.Box(C::cb_preview)->setChecked(true);
    w.Box(C::chb_interpol)->setChecked(true);
    w.Click(C::chb_grd);
    w.Click(C::btn_exit);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.messages, std::vector<std::string>{});
  }
  EXPECT_EQ(ReadFile(dir.File("torvane.cfg")).size(), 820u);

  TestWindow again(dir, ',');
  EXPECT_EQ(again.Edit(C::txt_in)->text(), "/data/survey 7.dat");
  EXPECT_EQ(again.Edit(C::txt_out)->text(), "/data/survey 7_torvane.dat");
  EXPECT_EQ(again.Edit(C::txt_rfs)->text(), "1234,5");
  EXPECT_EQ(again.Edit(C::txt_rfa)->text(), "0,25");
  EXPECT_EQ(again.Edit(C::txt_nearest)->text(), "800");
  EXPECT_EQ(again.Edit(C::txt_grd)->text(), "/grids/cba.grd");
  EXPECT_EQ(again.Edit(C::txt_n)->text(), "720");
  EXPECT_EQ(again.List(C::cmb_gx)->currentText(), "D");
  EXPECT_EQ(again.List(C::cmb_gy)->currentText(), "B");
  EXPECT_EQ(again.List(C::cmb_uba)->currentText(), "Z");
  EXPECT_TRUE(again.Box(C::cb_preview)->isChecked());
  EXPECT_TRUE(again.Box(C::chb_grd)->isChecked());
  EXPECT_TRUE(again.Box(C::chb_interpol)->isChecked());
  EXPECT_FALSE(again.Widget(C::txt_rfa)->isVisibleTo(&again.window)) << "hidden in grid mode";
  EXPECT_EQ(again.messages, std::vector<std::string>{});
}

struct WrittenFileCase {
  const char* name;
  std::string file;
  QStringList texts;  // txt_in, txt_out, txt_rfs, txt_rfa, txt_nearest, txt_grd, txt_n
  QStringList lists;  // cmb_gx, cmb_gy, cmb_point, cmb_uba, cb1, cb2
  bool boxes;         // cb_preview, chb_grd, chb_interpol
};

const WrittenFileCase kWrittenFiles[] = {
    {"EveryField",
     FullSettings().bytes,
     {"/data/survey 7.dat", "/data/survey 7_torvane.dat", "500", "12.5", "0.001", "/grids/cba.grd",
      "720"},
     {"D", "E", "Z", "H", "CBA", "TORVANE"},
     true},
    {"ZeroBytes",
     "",
     {"", "", "0", "0", "0", "", "0"},
     {"A", "A", "A", "A", "CBA", "TORVANE"},
     false},
    {"ShortFile",
     SettingsBytes().Text(0, "in.dat").Double(510, 250).Cut(520).bytes,
     {"in.dat", "", "250", "0", "0", "", "0"},
     {"A", "A", "A", "A", "CBA", "TORVANE"},
     false},
    {"ListIndexesOutOfRange",
     FullSettings().Int(543, 26).Int(551, -1).Int(539, 3).bytes,
     {"/data/survey 7.dat", "/data/survey 7_torvane.dat", "500", "12.5", "0.001", "/grids/cba.grd",
      "720"},
     {"A", "E", "C", "H", "CBA", "TORVANE"},
     true},
};

class WindowReadsSettings : public ::testing::TestWithParam<WrittenFileCase> {};

TEST_P(WindowReadsSettings, ControlsShowTheFile) {
  const WrittenFileCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("torvane.cfg"), c.file);
  TestWindow w(dir);
  QStringList texts;
  for (const C field :
       {C::txt_in, C::txt_out, C::txt_rfs, C::txt_rfa, C::txt_nearest, C::txt_grd, C::txt_n}) {
    texts << w.Edit(field)->text();
  }
  EXPECT_EQ(texts, c.texts);
  QStringList lists;
  for (const C list : {C::cmb_gx, C::cmb_gy, C::cmb_point, C::cmb_uba, C::cb1, C::cb2}) {
    lists << w.List(list)->currentText();
  }
  EXPECT_EQ(lists, c.lists);
  for (const C box : {C::cb_preview, C::chb_grd, C::chb_interpol}) {
    EXPECT_EQ(w.Box(box)->isChecked(), c.boxes) << DefaultOf(box).name;
  }
  EXPECT_EQ(w.Widget(C::txt_rfa)->isVisibleTo(&w.window), !c.boxes);
  EXPECT_TRUE(ClearedPicture(w.Picture(C::img_uba)));
  EXPECT_TRUE(ClearedPicture(w.Picture(C::img_regta)));
  EXPECT_EQ(w.messages, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Files, WindowReadsSettings, ::testing::ValuesIn(kWrittenFiles),
                         [](const auto& row) { return std::string(row.param.name); });

struct LeaveCase {
  const char* typed;
  const char* message;  // none when the field passes
};

// Leaving a numeric field for another control checks it; a failed check
// shows its message and hands the focus back.
TEST(Window, NumericFieldsAreCheckedWhenLeft) {
  const LeaveCase cases[] = {
      {"", "Error: Parameter is required"},
      {"1,5", "Error: 1,5 Is not a number"},
      {"0", "Error: Radius must be greater than 0"},
      {"-2", "Error: Radius must be greater than 0"},
      {"12.5", nullptr},
  };
  TempDir dir;
  TestWindow w(dir);
  w.ShowActive();
  ASSERT_TRUE(w.window.isActiveWindow());
  for (const C field : {C::txt_rfs, C::txt_rfa, C::txt_nearest}) {
    for (const LeaveCase& c : cases) {
      SCOPED_TRACE(std::string(DefaultOf(field).name) + " with '" + c.typed + "'");
      w.Widget(field)->setFocus(Qt::TabFocusReason);
      ASSERT_EQ(QApplication::focusWidget(), w.Widget(field));
      w.Edit(field)->setText(c.typed);
      w.messages.clear();
      w.Widget(C::txt_in)->setFocus(Qt::TabFocusReason);
      if (c.message != nullptr) {
        EXPECT_EQ(w.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(QApplication::focusWidget(), w.Widget(field)) << "the focus comes back";
        EXPECT_EQ(w.Edit(field)->text(), c.typed) << "the text stays as typed";
      } else {
        EXPECT_EQ(w.messages, std::vector<std::string>{});
        EXPECT_EQ(QApplication::focusWidget(), w.Widget(C::txt_in));
      }
    }
  }
}

TEST(Window, LosingTheFocusToAnotherWindowIsNoLeaving) {
  TempDir dir;
  TestWindow w(dir);
  w.Edit(C::txt_rfs)->setText("");
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(w.Widget(C::txt_rfs), &away);
  EXPECT_EQ(w.messages, std::vector<std::string>{});
  QFocusEvent tabbed(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(w.Widget(C::txt_rfs), &tabbed);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Error: Parameter is required"});
}

TEST(Window, ChoosersAndUseGridThroughTheirButtons) {
  TempDir dir;
  TestWindow w(dir);
  w.dialog_answers = {"C:\\survey\\area7.xyz", "/grids/cba.grd", "/tables/out.xyz"};
  w.Click(C::btn_in);
  EXPECT_EQ(w.Edit(C::txt_in)->text(), "C:\\survey\\area7.xyz");
  EXPECT_EQ(w.Edit(C::txt_out)->text(), "C:\\survey\\area7_torvane.dat");
  w.Click(C::btn_grd);
  EXPECT_EQ(w.Edit(C::txt_grd)->text(), "/grids/cba.grd");
  w.Click(C::btn_out);
  EXPECT_EQ(w.Edit(C::txt_out)->text(), "/tables/out.xyz");
  w.Click(C::btn_in);  // cancelled
  EXPECT_EQ(w.Edit(C::txt_in)->text(), "C:\\survey\\area7.xyz");
  EXPECT_EQ(w.Edit(C::txt_out)->text(), "/tables/out.xyz");

  w.Click(C::chb_grd);
  EXPECT_FALSE(w.Widget(C::txt_rfa)->isVisibleTo(&w.window));
  EXPECT_TRUE(LabelOf(w.window, w.Widget(C::txt_rfa))->isVisibleTo(&w.window));
  w.Click(C::chb_grd);
  EXPECT_TRUE(w.Widget(C::txt_rfa)->isVisibleTo(&w.window));
}

// The real message box, answered by clicking its button.
TEST(Window, MessageBoxHasTheCaptionTextAndButtons) {
  TempDir dir;
  MainWindow window;
  QtPlatform platform(window, '.');
  QString title, text;
  bool has_yes = false, has_no = false, has_ok = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    has_yes = box->button(QMessageBox::Yes) != nullptr;
    has_no = box->button(QMessageBox::No) != nullptr;
    has_ok = box->button(QMessageBox::Ok) != nullptr;
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(platform.ShowMessage("Cancel calculation?", "Warning", MessageButtons::kYesNo),
            MessageResult::kYes);
  EXPECT_EQ(title, "Warning");
  EXPECT_EQ(text, "Cancel calculation?");
  EXPECT_TRUE(has_yes && has_no);
  EXPECT_FALSE(has_ok);

  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    box->button(QMessageBox::Ok)->click();
  });
  platform.ShowInfo("Input file name is required field.");
  EXPECT_EQ(title, "Torvane");
}

// The real file dialog: its filters, default extension and starting folder,
// and what it answers.
TEST(Window, FileDialogShowsTheFiltersAndAnswersTheChoice) {
  TempDir dir;
  WriteFile(dir.File("points.xyz"), "");
  MainWindow window;
  QtPlatform platform(window, '.');
  FileDialogState state{
      dir.File("old.dat"),
      "Surfer DAT files (*.dat)|*.dat|Geosoft XYZ files (*.xyz)|*.xyz|All files (*.*)|*.*", "dat",
      2};
  QStringList filters;
  QString suffix, selected_filter, folder;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    selected_filter = dialog->selectedNameFilter();
    folder = dialog->directory().absolutePath();
    dialog->selectNameFilter(filters[2]);
    dialog->selectFile(Q(dir.File("points.xyz")));
    static_cast<QDialog*>(dialog)->accept();
  });
  ASSERT_TRUE(platform.ExecuteFileDialog(FileDialog::SaveDialog1, state));
  EXPECT_EQ(filters, QStringList({"Surfer DAT files (*.dat)", "Geosoft XYZ files (*.xyz)",
                                  "All files (*)"}));
  EXPECT_EQ(suffix, "dat");
  EXPECT_EQ(selected_filter, "Geosoft XYZ files (*.xyz)");
  EXPECT_EQ(folder, Q(dir.path().string()));
  EXPECT_EQ(state.file_name, dir.File("points.xyz"));
  EXPECT_EQ(state.filter_index, 3);
}

TEST(Window, NameFiltersFromTheLogicsFilterText) {
  EXPECT_EQ(NameFilters("Surfer dat files (*.dat)|*.dat|All files (*.*)|*.*"),
            QStringList({"Surfer dat files (*.dat)", "All files (*)"}));
  EXPECT_EQ(NameFilters("Pictures|*.bmp;*.jpg"), QStringList({"Pictures (*.bmp *.jpg)"}));
  EXPECT_EQ(NameFilters("Windows bitmap (*.bmp)|*.bmp|Jpeg files (*.jpg)|*.jpg"),
            QStringList({"Windows bitmap (*.bmp)", "Jpeg files (*.jpg)"}));
  EXPECT_EQ(NameFilters(""), QStringList());
}

TEST(Window, PictureShowsTheCanvas) {
  TempDir dir;
  TestWindow w(dir);
  RgbCanvas canvas(177, 145);
  canvas.Clear();
  canvas.SetPixel(1, 1, {200, 10, 30});
  canvas.SetPixel(175, 143, {0, 128, 255});
  w.platform.ShowPicture(C::img_regta, canvas);
  const QImage shown = w.Picture(C::img_regta);
  EXPECT_EQ(shown.pixel(1, 1), qRgb(200, 10, 30));
  EXPECT_EQ(shown.pixel(175, 143), qRgb(0, 128, 255));
  EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(2, 1), qRgb(255, 255, 255));
}

TEST(Window, BusyCursorIsTheApplicationsOverride) {
  TempDir dir;
  TestWindow w(dir);
  EXPECT_FALSE(w.platform.SetBusyCursor(true));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_TRUE(w.platform.SetBusyCursor(true)) << "already busy";
  EXPECT_TRUE(w.platform.SetBusyCursor(false));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The program as started from a shell: a settings file naming the survey,
// Calc pressed, the window saved as a picture, and the settings left alone.
TEST(WindowProgram, ScreenshotModeRunsAndSavesThePicture) {
  TempDir dir;
  WriteFile(dir.File("survey.dat"), kSurvey);
  const std::string settings = SettingsBytes()
                                   .Text(0, dir.File("survey.dat"))
                                   .Text(255, dir.File("table.dat"))
                                   .Double(510, 100)
                                   .Double(518, 10)
                                   .Int(547, 1)
                                   .Int(551, 2)
                                   .Int(555, 4)
                                   .Int(814, 360)
                                   .bytes;
  WriteFile(dir.File("session.cfg"), settings);
  const ProgramResult run =
      RunProgram(dir, TORVANE_WINDOW,
                 {"--config", dir.File("session.cfg"), "--screenshot", dir.File("window.png")},
                 "QT_QPA_PLATFORM=offscreen");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFile(dir.File("table.dat")), kTable);
  EXPECT_EQ(QImage(Q(dir.File("window.png"))).size(), QSize(569, 460));
  EXPECT_EQ(ReadFile(dir.File("session.cfg")), settings);
}

TEST(WindowProgram, ScreenshotModePrintsMessagesInsteadOfBoxes) {
  TempDir dir;
  WriteFile(dir.File("session.cfg"), "");
  const ProgramResult run =
      RunProgram(dir, TORVANE_WINDOW,
                 {"--config", dir.File("session.cfg"), "--screenshot", dir.File("window.png")},
                 "QT_QPA_PLATFORM=offscreen");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.err.find("Torvane: Input file name is required field.\n"), std::string::npos)
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("window.png")));
}

}  // namespace
}  // namespace torvane::testing
