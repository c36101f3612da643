#pragma once
// The program's top window: the seed dialog (MainWindow) as it is, with a
// menu bar above it and a status line below. The menus reach everything the
// batch command does: the survey's options, the radius sweep, the grid
// tools and the exports of a run. Files named on the command line or
// dropped on the window are opened as the survey (a grid into the grid field).

#include <QMainWindow>
#include <QStringList>

#include "app/SurveyOptions.h"

class QAction;
class QLabel;
class QMenu;

namespace torvane {

class MainWindow;
class QtPlatform;
class TfrmMain;

class Workbench : public QMainWindow {
 public:
  Workbench();
  ~Workbench() override;

  // The seed dialog, owned by this window.
  MainWindow& dialog() const { return *dialog_; }

  // Connects the menus and the status line to the form's logic (after
  // ConnectHandlers), and reads the survey options beside the form's
  // settings file (after ReadCfg).
  void Attach(QtPlatform& platform, TfrmMain& form);

  // A file from outside: a grid goes to the grid field, anything else is the
  // survey (the output name proposed, the column lists labelled).
  void OpenFile(const QString& path);

  const SurveyOptions& options() const { return options_; }
  // Takes new options: the form's next runs use them, and the file keeps them.
  void SetOptions(const SurveyOptions& options);
  // Unattended runs (screenshots) leave the options file as it is.
  void set_persist_options(bool persist) { persist_options_ = persist; }
  // The status line's text.
  QString StatusText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenus();
  void FillRecentMenu();
  void RememberFile(const std::string& path);
  void KeepOptions();
  void LabelColumnLists();
  void ShowRunStatus();
  void SaveTableAs();
  void ShowFileInfo();
  void ShowGuide();
  void ShowAbout();
  bool NeedResults();

  MainWindow* dialog_;
  QtPlatform* platform_ = nullptr;
  TfrmMain* form_ = nullptr;
  SurveyOptions options_;
  std::string options_path_;
  bool persist_options_ = true;
  QMenu* recent_ = nullptr;
  QLabel* status_ = nullptr;
  QString input_now_;     // txt_in as it is
  QString input_before_;  // and before its last change
};

}  // namespace torvane
