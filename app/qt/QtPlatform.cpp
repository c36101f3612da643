#include "app/qt/QtPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <cstdio>

#include "app/qt/FileDialogFilter.h"
#include "app/qt/MainWindow.h"
#include "common/SystemMemory.h"

namespace torvane {
namespace {

constexpr qint64 kEventInterval = 15;  // milliseconds of work between event processing

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon IconFor(std::string_view caption, MessageButtons buttons) {
  if (buttons == MessageButtons::kYesNo) return QMessageBox::Question;
  if (caption == "Error" || caption == "Eror") return QMessageBox::Critical;
  if (caption == "Warning") return QMessageBox::Warning;
  return QMessageBox::Information;
}

}  // namespace

QtPlatform::QtPlatform(MainWindow& window, char decimal_separator)
    : window_(window), decimal_separator_(decimal_separator) {}

std::string QtPlatform::Text(Control control) {
  QWidget* widget = window_.Widget(control);
  if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText().toStdString();
  if (auto* field = qobject_cast<QLineEdit*>(widget)) return field->text().toStdString();
  return {};
}

void QtPlatform::SetText(Control control, std::string_view text) {
  QWidget* widget = window_.Widget(control);
  if (auto* list = qobject_cast<QComboBox*>(widget)) list->setCurrentText(ToQString(text));
  if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(ToQString(text));
}

bool QtPlatform::Checked(Control control) {
  const auto* box = qobject_cast<QCheckBox*>(window_.Widget(control));
  return box != nullptr && box->isChecked();
}

void QtPlatform::SetChecked(Control control, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(window_.Widget(control))) box->setChecked(checked);
}

int QtPlatform::ItemIndex(Control control) {
  const auto* list = qobject_cast<QComboBox*>(window_.Widget(control));
  return list != nullptr ? list->currentIndex() : -1;
}

void QtPlatform::SetItemIndex(Control control, int index) {
  if (auto* list = qobject_cast<QComboBox*>(window_.Widget(control))) list->setCurrentIndex(index);
}

void QtPlatform::SetEnabled(Control control, bool enabled) {
  window_.Widget(control)->setEnabled(enabled);
}

void QtPlatform::SetVisible(Control control, bool visible) {
  window_.Widget(control)->setVisible(visible);
}

void QtPlatform::SetFocus(Control control) {
  window_.Widget(control)->setFocus(Qt::OtherFocusReason);
}

void QtPlatform::ShowInfo(std::string_view text) {
  ShowMessage(text, kApplicationTitle, MessageButtons::kOk);
}

MessageResult QtPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                      MessageButtons buttons) {
  if (message_answerer_) return message_answerer_(text, caption, buttons);
  const bool question = buttons == MessageButtons::kYesNo;
  QMessageBox box(IconFor(caption, buttons), ToQString(caption), ToQString(text),
                  question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, &window_);
  const int answer = box.exec();
  if (!question) return MessageResult::kOk;
  return answer == QMessageBox::Yes ? MessageResult::kYes : MessageResult::kNo;
}

void QtPlatform::WriteConsoleNote(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void QtPlatform::SetProgressRange(int minimum, int maximum) {
  window_.As<QProgressBar>(Control::ProgressBar1)->setRange(minimum, maximum);
}

// The bar is redrawn when the window next processes its events: measuring
// its text for every one of a million points would cost more than the
// computation.
void QtPlatform::SetProgressPosition(int position) {
  progress_position_ = position;
  if (progress_update_pending_) return;
  progress_update_pending_ = true;
  QTimer::singleShot(0, &window_, [this] {
    progress_update_pending_ = false;
    window_.As<QProgressBar>(Control::ProgressBar1)->setValue(progress_position_);
  });
}

void QtPlatform::ProcessEvents() {
  if (since_events_.isValid() && since_events_.elapsed() < kEventInterval) return;
  QApplication::processEvents();
  since_events_.start();  // counts the work from here on, not the time spent on events
}

ImageSize QtPlatform::PictureSize(Control image) {
  const QSize size = window_.Widget(image)->size();
  return {size.width(), size.height()};
}

void QtPlatform::ShowPicture(Control image, const RgbCanvas& canvas) {
  QImage picture(canvas.width(), canvas.height(), QImage::Format_RGB888);
  for (int y = 0; y < canvas.height(); ++y) {
    uchar* line = picture.scanLine(y);
    for (int x = 0; x < canvas.width(); ++x) {
      const Rgb colour = canvas.Pixel(x, y);
      line[3 * x] = colour.r;
      line[3 * x + 1] = colour.g;
      line[3 * x + 2] = colour.b;
    }
  }
  window_.As<QLabel>(image)->setPixmap(QPixmap::fromImage(picture));
}

bool QtPlatform::ExecuteFileDialog(FileDialog dialog, FileDialogState& state) {
  if (dialog_answerer_) return dialog_answerer_(dialog, state);
  return ShowFileDialog(dialog, state);
}

bool QtPlatform::ShowFileDialog(FileDialog dialog, FileDialogState& state) {
  const bool open = dialog == FileDialog::OpenDialog1;
  QFileDialog box(&window_);
  box.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  box.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // A chosen file is replaced without a question, when the run or the save writes it.
  box.setOption(QFileDialog::DontConfirmOverwrite);
  const QStringList filters = NameFilters(state.filter);
  box.setNameFilters(filters);
  if (state.filter_index >= 1 && state.filter_index <= filters.size()) {
    box.selectNameFilter(filters[state.filter_index - 1]);
  }
  box.setDefaultSuffix(ToQString(state.default_extension));
  const QString preset = ToQString(state.file_name);
  const QFileInfo preset_file(preset);
  box.setDirectory(preset.contains('/') ? preset_file.absolutePath() : QDir::currentPath());
  if (!preset.isEmpty()) box.selectFile(preset_file.fileName());

  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return false;
  state.file_name = box.selectedFiles().front().toStdString();
  const qsizetype chosen = filters.indexOf(box.selectedNameFilter());
  if (chosen >= 0) state.filter_index = static_cast<int>(chosen) + 1;
  return true;
}

bool QtPlatform::SetBusyCursor(bool busy) {
  const bool was_busy = busy_cursor_;
  if (busy && !was_busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!busy && was_busy) QApplication::restoreOverrideCursor();
  busy_cursor_ = busy;
  return was_busy;
}

// The dialog may sit inside the program's top window: that one closes.
void QtPlatform::CloseWindow() { window_.window()->close(); }

std::uint64_t QtPlatform::AvailablePhysicalMemory() { return torvane::AvailablePhysicalMemory(); }

std::string QtPlatform::ExecutablePath() {
  if (!executable_path_.empty()) return executable_path_;
  return QCoreApplication::applicationFilePath().toStdString();
}

}  // namespace torvane
