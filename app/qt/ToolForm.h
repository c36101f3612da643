#pragma once
// The parts the tool dialogs share: a file field with its "..." button,
// the list of grid formats, and OK/Cancel with a progress bar.

#include <QDialog>
#include <QPushButton>
#include <optional>
#include <string>
#include <vector>

#include "app/Platform.h"
#include "common/FileClash.h"
#include "grid/GridFormat.h"

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QProgressBar;

namespace torvane {

class QtPlatform;

// True, after telling the user, when an output names the same file as an
// input or an earlier output (FindFileClash): nothing is written then.
bool RefuseFileClash(Platform& platform, const std::vector<NamedFile>& inputs,
                     const std::vector<NamedFile>& outputs);

class ToolForm : public QDialog {
 public:
  ToolForm(QWidget* parent, QtPlatform& platform, const QString& name, const QString& title);

  // A file field and its "..." button; `open` chooses an existing file.
  QLineEdit* AddFile(const QString& label, const QString& name, bool open, const std::string& filter);
  // The grid formats `convert --format` takes, after "by the name".
  QComboBox* AddGridFormat(const QString& name);
  void AddRow(const QString& label, QWidget* field);
  // OK starts `run` (the dialog stays open while it works; Cancel then
  // stops it); the dialog closes when `run` answers true.
  void Finish(std::function<bool()> run);

  QProgressBar* progress() const { return progress_; }
  QPushButton* stop() const { return stop_; }
  QtPlatform& platform() const { return platform_; }
  // The format chosen in `list`, or the one `path` implies; told and
  // nothing when neither.
  const GridFormat* FormatOf(const QComboBox* list, const std::string& path);

 private:
  QtPlatform& platform_;
  QFormLayout* form_;
  QProgressBar* progress_;
  QPushButton* stop_;
  QDialogButtonBox* buttons_;
};

inline constexpr std::string_view kGridFileFilter =
    "Grid files (*.grd *.asc *.tif *.tiff *.nc)|*.grd;*.asc;*.tif;*.tiff;*.nc|All files (*.*)|*.*";

}  // namespace torvane
