#include "app/qt/ToolForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/QtPlatform.h"

namespace torvane {

bool RefuseFileClash(Platform& platform, const std::vector<NamedFile>& inputs,
                     const std::vector<NamedFile>& outputs) {
  const std::optional<FileClash> clash = FindFileClash(inputs, outputs);
  if (clash) platform.ShowInfo(FileClashMessage(*clash));
  return clash.has_value();
}

ToolForm::ToolForm(QWidget* parent, QtPlatform& platform, const QString& name, const QString& title)
    : QDialog(parent), platform_(platform), form_(new QFormLayout) {
  setObjectName(name);
  setWindowTitle(title);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("tool_progress");
  progress_->setValue(0);
  stop_ = new QPushButton("Stop", this);
  stop_->setObjectName("tool_stop");
  stop_->setEnabled(false);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(progress_, 1);
  bottom->addWidget(stop_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form_);
  column->addLayout(bottom);
  column->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  setMinimumWidth(520);
}

QLineEdit* ToolForm::AddFile(const QString& label, const QString& name, bool open,
                             const std::string& filter) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  auto* browse = new QPushButton("...", this);
  browse->setFixedWidth(32);
  auto* row = new QHBoxLayout;
  row->addWidget(field, 1);
  row->addWidget(browse);
  form_->addRow(label, row);
  connect(browse, &QPushButton::clicked, this, [this, field, open, filter] {
    FileDialogState state;
    state.file_name = field->text().toStdString();
    state.filter = filter;
    if (platform_.ExecuteFileDialog(open ? FileDialog::OpenDialog1 : FileDialog::SaveDialog2, state)) {
      field->setText(QString::fromStdString(state.file_name));
    }
  });
  return field;
}

QComboBox* ToolForm::AddGridFormat(const QString& name) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->addItem("by the file's name", QString());
  for (const GridFormat* format : kGridFormats) {
    if (format->write == nullptr) continue;
    const QString text = QString::fromStdString(std::string(format->name));
    list->addItem(text, text);
  }
  form_->addRow("Format:", list);
  return list;
}

void ToolForm::AddRow(const QString& label, QWidget* field) { form_->addRow(label, field); }

void ToolForm::Finish(std::function<bool()> run) {
  connect(buttons_, &QDialogButtonBox::accepted, this, [this, run = std::move(run)] {
    buttons_->setEnabled(false);
    const bool done = run();
    buttons_->setEnabled(true);
    if (done) accept();
  });
}

const GridFormat* ToolForm::FormatOf(const QComboBox* list, const std::string& path) {
  const QString named = list->currentData().toString();
  if (!named.isEmpty()) return GridFormatNamed(named.toStdString());
  const GridFormat* implied = GridFormatOfPath(path);
  if (!implied) {
    platform_.ShowInfo("The name " + path + " implies no grid format (.grd, .asc, .tif, .nc): "
                       "choose the format");
  }
  return implied;
}

}  // namespace torvane
