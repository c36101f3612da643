#pragma once
// The radius sweep from the window: the radii (a list or START:STOP:STEP),
// a band or a band ratio and the blanking rules; the survey as the window
// names it (file, columns, survey options). The sweep runs on a worker
// thread with a progress bar and Cancel, then shows its curve (rms and mean
// |residual| against R) with the curve's table below. A click on the curve
// puts the nearest radius and its band into the window's R and D fields.
// Save table / Save curve / Save plot write what torvane-cli sweep writes.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/SurveyOptions.h"
#include "app/SweepRun.h"
#include "app/qt/BlankingFields.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace torvane {

class QtPlatform;
class TfrmMain;

// The curve: rms and mean |residual| against R.
class CurveView : public QWidget {
 public:
  explicit CurveView(QWidget* parent);
  void SetCurve(const std::vector<CurveRow>* curve);
  // The radius whose point lies nearest to `x` along the axis; -1 when none.
  int RowAt(double x) const;
  // Where row `row`'s radius lies across the widget.
  double XOf(int row) const;

  std::function<void(int row)> on_pick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Frame {
    double left, right, top, bottom, x0, x1, y0, y1;
  };
  Frame Layout() const;
  const std::vector<CurveRow>* curve_ = nullptr;
  int picked_ = -1;
};

class SweepDialog : public QDialog {
 public:
  SweepDialog(QWidget* parent, QtPlatform& platform, TfrmMain& form, const SurveyOptions& options);

  // Runs the sweep as the fields say; false when refused or failed (told).
  bool RunSweep();
  // Puts row `row`'s radius and band into the window's R and D.
  void Pick(int row);
  bool SaveTable(const std::string& path);
  bool SaveCurve(const std::string& path);
  bool SavePlot(const std::string& path);

  QLineEdit* radii() const { return radii_; }
  QLineEdit* band() const { return band_; }
  QRadioButton* ratio() const { return ratio_; }
  CurveView* curve_view() const { return curve_; }
  const SweepOutcome& outcome() const { return outcome_; }

 protected:
  // Closing the dialog while the sweep runs cancels it.
  void reject() override;

 private:
  void ChooseAndSave(const char* filter, const char* extension,
                     bool (SweepDialog::*save)(const std::string&));

  QtPlatform& platform_;
  TfrmMain& form_;
  SurveyOptions options_;
  QLineEdit* radii_;
  QRadioButton* fixed_;
  QRadioButton* ratio_;
  QLineEdit* band_;
  BlankingFields blanking_;
  QPushButton* run_;
  QPushButton* cancel_;
  QProgressBar* progress_;
  CurveView* curve_;
  QTableWidget* table_;
  QPushButton* save_table_;
  QPushButton* save_curve_;
  QPushButton* save_plot_;
  SweepOutcome outcome_;
  bool have_outcome_ = false;
  bool running_ = false;
};

void OpenSweepDialog(QWidget* parent, QtPlatform& platform, TfrmMain& form,
                     const SurveyOptions& options);

}  // namespace torvane
