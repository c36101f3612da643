#include "app/qt/Workbench.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "app/ControlDefaults.h"
#include "app/FileChoosers.h"
#include "app/FileInfo.h"
#include "app/Hvw.h"
#include "app/OpenedFile.h"
#include "app/RunStatus.h"
#include "app/qt/ExportDialogs.h"
#include "app/qt/GridToolDialogs.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/ReduceDialog.h"
#include "app/qt/SurveyOptionsDialog.h"
#include "app/qt/SweepDialog.h"
#include "app/qt/ToolForm.h"
#include "common/AtomicFile.h"
#include "common/SameFile.h"
#include "points/HeaderNames.h"

namespace torvane {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string S(const QString& text) { return text.toStdString(); }

// Copies a finished table whole to another name (or leaves that name as it was).
bool CopyWhole(const std::string& from, const std::string& to) {
  QFile source(Q(from));
  if (!source.open(QIODevice::ReadOnly)) return false;
  AtomicFile target(to);
  while (target.ok() && !source.atEnd()) {
    const QByteArray block = source.read(1 << 20);
    if (block.isEmpty() || !target.Write(block.constData(), static_cast<std::size_t>(block.size()))) {
      return false;
    }
  }
  return target.ok() && target.Commit();
}

}  // namespace

Workbench::Workbench() : dialog_(new MainWindow) {
  setObjectName("workbench");
  setWindowTitle(dialog_->windowTitle());
  setWindowFlags(dialog_->windowFlags());
  setCentralWidget(dialog_);  // the dialog becomes a child; its client area stays 569 x 460
  status_ = new QLabel(this);
  status_->setObjectName("run_status");
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(false);
  setAcceptDrops(true);
  CreateMenus();
  setFixedSize(MainWindow::kWidth,
               MainWindow::kHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

void Workbench::CreateMenus() {
  // Menu accelerators F, T and H: the dialog's own are C, E, S and A.
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("menu_file");
  const auto add = [this](QMenu* menu, const QString& text, const char* name, auto handler,
                          QKeySequence keys = {}) {
    QAction* action = menu->addAction(text, this, handler);
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
  };
  add(file, "Open &survey...", "action_open_survey", [this] { form_->btn_inClick(); LabelColumnLists(); },
      QKeySequence::Open);
  add(file, "Open &grid...", "action_open_grid", [this] { form_->btn_grdClick(); },
      QKeySequence(Qt::CTRL | Qt::Key_G));
  add(file, "Survey &options...", "action_survey_options", [this] {
    SurveyOptions edited = options_;
    if (EditSurveyOptions(this, *platform_, edited, platform_->Text(Control::txt_in))) {
      SetOptions(edited);
    }
  });
  file->addSeparator();
  add(file, "Save &table as...", "action_save_table", [this] { SaveTableAs(); },
      QKeySequence::SaveAs);
  add(file, "Export &residual grid...", "action_export_grid", [this] {
    if (NeedResults()) ExportResidualGrid(this, *platform_, *form_);
  });
  add(file, "Export &map...", "action_export_map", [this] {
    if (NeedResults()) ExportRunMap(this, *platform_, *form_);
  });
  file->addSeparator();
  recent_ = file->addMenu("Recent &files");
  recent_->setObjectName("menu_recent");
  file->addSeparator();
  add(file, "E&xit", "action_exit", [this] { form_->btn_exitClick(); }, QKeySequence::Quit);

  QMenu* tools = menuBar()->addMenu("&Tools");
  tools->setObjectName("menu_tools");
  add(tools, "Radius &sweep...", "action_sweep",
      [this] { OpenSweepDialog(this, *platform_, *form_, options_); });
  add(tools, "&Convert grid...", "action_convert", [this] { OpenConvertDialog(this, *platform_); });
  add(tools, "Grid &residual...", "action_grid_residual",
      [this] { OpenGridResidualDialog(this, *platform_); });
  add(tools, "&Map of a grid...", "action_grid_map", [this] { OpenGridMapDialog(this, *platform_); });
  add(tools, "Re&duce gravity...", "action_reduce",
      [this] { OpenReduceDialog(this, *platform_, options_); });
  tools->addSeparator();
  add(tools, "File &information...", "action_file_info", [this] { ShowFileInfo(); });

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("menu_help");
  add(help, "Quick &guide", "action_guide", [this] { ShowGuide(); }, QKeySequence::HelpContents);
  add(help, "&About Torvane", "action_about", [this] { ShowAbout(); });
}

void Workbench::Attach(QtPlatform& platform, TfrmMain& form) {
  platform_ = &platform;
  form_ = &form;
  options_path_ = SurveyOptionsPath(form.SettingsPath());
  options_ = ReadSurveyOptions(options_path_);
  ApplySurveyOptions(options_, form);
  FillRecentMenu();
  LabelColumnLists();
  input_now_ = Q(platform.Text(Control::txt_in));

  auto* calc = qobject_cast<QAbstractButton*>(dialog_->Widget(Control::btn_calc));
  auto timer = std::make_shared<QElapsedTimer>();
  connect(calc, &QAbstractButton::pressed, this, [timer] { timer->start(); });
  // Connected after the dialog's own handler: the run has ended when this runs.
  connect(calc, &QAbstractButton::clicked, this, [this, timer] {
    const double seconds = timer->isValid() ? static_cast<double>(timer->nsecsElapsed()) * 1e-9 : 0;
    status_->setText(Q(RunStatusLine(*form_, seconds)));
    if (form_->ResultsReady()) RememberFile(form_->Request().stations.path);
  });
  // Typing the point file's name proposes the table's, as "..." does.
  auto* input = qobject_cast<QLineEdit*>(dialog_->Widget(Control::txt_in));
  // Whichever of the two signals comes first, the text before the edit is known.
  connect(input, &QLineEdit::textChanged, this, [this](const QString& now) {
    input_before_ = input_now_;
    input_now_ = now;
  });
  connect(input, &QLineEdit::textEdited, this, [this](const QString& now) {
    const QString& before = input_now_ == now ? input_before_ : input_now_;
    ProposeOutputWhileTyping(*platform_, S(before), S(now), TableEnding(options_));
  });
  connect(input, &QLineEdit::editingFinished, this, [this] { LabelColumnLists(); });
  connect(qobject_cast<QAbstractButton*>(dialog_->Widget(Control::btn_in)),
          &QAbstractButton::clicked, this, [this] { LabelColumnLists(); });
}

Workbench::~Workbench() {
  // The dialog's fields lose the focus while the window is taken down (an
  // edit field then says its editing finished): none of their signals may
  // reach this window once its own part is gone.
  for (QObject* child : dialog_->findChildren<QObject*>()) child->disconnect(this);
}

void Workbench::SetOptions(const SurveyOptions& options) {
  const bool ending_changed = TableEnding(options) != TableEnding(options_);
  options_ = options;
  if (!options.crs.crs.empty()) RememberRecent(options_.recent_crs, options.crs.crs);
  ApplySurveyOptions(options_, *form_);
  // The proposed table follows the table kind chosen.
  const std::string input = platform_->Text(Control::txt_in);
  const std::string output = platform_->Text(Control::txt_out);
  if (ending_changed && !input.empty() &&
      output == ProposedOutputName(input, options.csv_table ? "_torvane.dat" : "_torvane.csv")) {
    platform_->SetText(Control::txt_out, ProposedOutputName(input, TableEnding(options_)));
  }
  LabelColumnLists();
  KeepOptions();
}

void Workbench::KeepOptions() {
  if (persist_options_) WriteSurveyOptions(options_path_, options_);
}

QString Workbench::StatusText() const { return status_->text(); }

void Workbench::OpenFile(const QString& path) {
  if (form_->Running()) return;
  const std::string file = S(path);
  if (PutOpenedFile(*platform_, file, TableEnding(options_)) == OpenedAs::kSurvey) {
    LabelColumnLists();
    RememberFile(file);
  }
}

void Workbench::RememberFile(const std::string& path) {
  RememberRecent(options_.recent_files, path);
  FillRecentMenu();
  KeepOptions();
}

void Workbench::FillRecentMenu() {
  recent_->clear();
  for (const std::string& path : options_.recent_files) {
    const QString file = Q(path);
    recent_->addAction(file, this, [this, file] { OpenFile(file); });
  }
  recent_->setEnabled(!options_.recent_files.empty());
}

// "A - station", "B - latitude", ... while the named file has a header row;
// the letters alone otherwise. The lists keep their entries' places, so a
// run picks the same columns either way.
void Workbench::LabelColumnLists() {
  const std::vector<std::string> names =
      ReadHeaderNames(platform_->Text(Control::txt_in), platform_->DecimalSeparator(),
                      options_.decimal_separator == ',' ? ',' : '.');
  for (const Control list : {Control::cmb_gx, Control::cmb_gy, Control::cmb_point, Control::cmb_uba}) {
    auto* box = dialog_->As<QComboBox>(list);
    const std::span<const std::string_view> letters = ItemsOf(list);
    for (int i = 0; i < box->count() && static_cast<std::size_t>(i) < letters.size(); ++i) {
      const auto at = static_cast<std::size_t>(i);
      box->setItemText(i, at < names.size() && !names[at].empty()
                              ? Q(letters[at]) + " - " + Q(names[at])
                              : Q(letters[at]));
    }
  }
}

bool Workbench::NeedResults() {
  if (form_->ResultsReady() && !form_->Running()) return true;
  platform_->ShowInfo("No results yet: run the calculation first");
  return false;
}

void Workbench::SaveTableAs() {
  if (!NeedResults()) return;
  FileDialogState state;
  state.file_name = form_->Request().output_path;
  state.filter = "Surfer DAT files (*.dat)|*.dat|CSV tables (*.csv)|*.csv|All files (*.*)|*.*";
  state.default_extension = "dat";
  if (!platform_->ExecuteFileDialog(FileDialog::SaveDialog1, state)) return;
  const std::string& from = form_->Request().output_path;
  if (SameFile(state.file_name, from)) return;  // the table is there already
  if (RefuseFileClash(*platform_, {{"Input file", form_->Request().stations.path}},
                      {{"Save table as", state.file_name}})) {
    return;
  }
  if (!CopyWhole(from, state.file_name)) {
    platform_->ShowFileError("Cannot write the table " + state.file_name, state.file_name, 0);
  }
}

// `torvane-cli info` on a file chosen: a grid, or a point file read with
// the dialog's columns and the survey options' CSV separator and CRS.
void Workbench::ShowFileInfo() {
  FileDialogState state;
  state.file_name = platform_->Text(Control::txt_in);
  state.filter =
      "Survey files (*.dat *.csv *.txt *.xyz)|*.dat;*.csv;*.txt;*.xyz|"
      "Grid files (*.grd *.asc *.tif *.tiff *.nc)|*.grd;*.asc;*.tif;*.tiff;*.nc|All files (*.*)|*.*";
  if (!platform_->ExecuteFileDialog(FileDialog::OpenDialog1, state)) return;
  StationSource source = form_->Request().stations;
  source.path = state.file_name;
  source.columns = {platform_->ItemIndex(Control::cmb_gx), platform_->ItemIndex(Control::cmb_gy),
                    platform_->ItemIndex(Control::cmb_point), platform_->ItemIndex(Control::cmb_uba)};
  source.gravity_reduction.reset();  // info tells the file as it is
  InfoReport report;
  std::vector<std::string> about_a_grid;
  const bool was_busy = platform_->SetBusyCursor(true);
  const bool described = DescribeFile(*platform_, source, report, about_a_grid);
  platform_->SetBusyCursor(was_busy);
  for (const std::string& text : about_a_grid) platform_->ShowInfo(text);
  if (!described) return;
  QDialog shown(this);
  shown.setObjectName("file_info");
  shown.setWindowTitle("File information");
  auto* text = new QPlainTextEdit(&shown);
  text->setObjectName("file_info_text");
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text->setPlainText(Q(report.Lines()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &shown);
  connect(buttons, &QDialogButtonBox::rejected, &shown, &QDialog::reject);
  auto* column = new QVBoxLayout(&shown);
  column->addWidget(text);
  column->addWidget(buttons);
  shown.resize(640, 480);
  shown.exec();
}

void Workbench::ShowGuide() {
  QDialog guide(this);
  guide.setObjectName("guide");
  guide.setWindowTitle("Torvane quick guide");
  auto* text = new QTextBrowser(&guide);
  QFile readme(":/torvane/README.md");
  if (readme.open(QIODevice::ReadOnly)) {
    // The README's pictures stay in the source tree: their captions are left out too.
    QStringList lines = QString::fromUtf8(readme.readAll()).split('\n');
    lines.removeIf([](const QString& line) { return line.startsWith("!["); });
    text->setMarkdown(lines.join('\n'));
  }
  text->setOpenExternalLinks(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &guide);
  connect(buttons, &QDialogButtonBox::rejected, &guide, &QDialog::reject);
  auto* column = new QVBoxLayout(&guide);
  column->addWidget(text);
  column->addWidget(buttons);
  guide.resize(760, 640);
  guide.exec();
}

void Workbench::ShowAbout() {
  QMessageBox::about(this, "About Torvane",
                     "<b>Torvane " + QApplication::applicationVersion() +
                         "</b><p>Ring-average residuals of gravity surveys: every station's "
                         "complete Bouguer anomaly less the mean of its ring of radius R.</p>");
}

void Workbench::closeEvent(QCloseEvent* event) {
  if (dialog_->RequestClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void Workbench::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && form_ != nullptr && !form_->Running()) {
    event->acceptProposedAction();
  }
}

void Workbench::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      OpenFile(url.toLocalFile());
      event->acceptProposedAction();
      return;
    }
  }
}

}  // namespace torvane
