#pragma once
// Tools > Reduce gravity: the table of `torvane-cli reduce` (gravity,
// height, normal gravity, free-air and simple Bouguer anomalies) of the
// survey the window names, read with the dialog's X, Y, point and CBA
// lists (the CBA list's column holding absolute gravity) and the survey
// options' height column, CRS and reduction.

class QWidget;

namespace torvane {

class QtPlatform;
struct SurveyOptions;

void OpenReduceDialog(QWidget* parent, QtPlatform& platform, const SurveyOptions& options);

}  // namespace torvane
