#pragma once
// The exports of the last run from the File menu: its residual as a grid
// (cell size, format; the grid's CRS as the writers record it), and a map of
// one of its values as PNG, SVG or PDF.

class QWidget;

namespace torvane {

class QtPlatform;
class TfrmMain;

void ExportResidualGrid(QWidget* parent, QtPlatform& platform, TfrmMain& form);
void ExportRunMap(QWidget* parent, QtPlatform& platform, TfrmMain& form);

}  // namespace torvane
