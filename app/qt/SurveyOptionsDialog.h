#pragma once
// The survey options dialog: the CRS of the stations (checked by PROJ as it
// is typed, with the common choices offered) and of the computation, the
// decimal separator of CSV files, the quality columns and the blanking
// rules, and whether tables are proposed as CSV.

#include <QDialog>
#include <string>

#include "app/SurveyOptions.h"
#include "app/qt/BlankingFields.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace torvane {

class QtPlatform;

class SurveyOptionsDialog : public QDialog {
 public:
  // `utm_zone` (the UTM zone of the survey's centre; may be empty) is
  // offered among the choices.
  SurveyOptionsDialog(QWidget* parent, const SurveyOptions& options, const std::string& utm_zone);

  // The options as the dialog shows them; false (with the reason shown in
  // the dialog) while a CRS is not one PROJ knows.
  bool Take(SurveyOptions& options) const;

  QComboBox* crs() const { return crs_; }

 private:
  void CheckCrs();

  SurveyOptions shown_;
  QComboBox* crs_;
  QComboBox* work_crs_;
  QLabel* crs_check_;
  QComboBox* separator_;
  QCheckBox* quality_;
  BlankingFields blanking_;
  QComboBox* table_;
  QCheckBox* absolute_;
  QComboBox* height_;
  QDoubleSpinBox* density_;
  QComboBox* ellipsoid_;
  QLineEdit* free_air_gradient_;
  QCheckBox* bullard_b_;
  QSpinBox* grid_memory_;
};

// Shows the dialog modally; true, with `options` changed, on OK. `survey`
// is the point file the window names, read with its columns for the UTM
// zone of its centre.
bool EditSurveyOptions(QWidget* parent, QtPlatform& platform, SurveyOptions& options,
                       const std::string& survey);

}  // namespace torvane
