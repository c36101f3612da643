#include "app/qt/ExportDialogs.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include "app/GridSurface.h"
#include "app/Hvw.h"
#include "app/RunMap.h"
#include "app/qt/BackgroundWork.h"
#include "app/qt/GridToolDialogs.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/ToolForm.h"
#include "grid/WriteGrid.h"

namespace torvane {
namespace {

// What the run read and wrote: an export must replace none of them.
std::vector<NamedFile> RunFiles(const TfrmMain& form) {
  const RunRequest& run = form.Request();
  std::vector<NamedFile> files{{"Input file", run.stations.path},
                               {"Output file", run.output_path}};
  if (run.ring.use_grid) files.push_back({"Grid file", run.ring.grid_path});
  return files;
}

}  // namespace

void ExportResidualGrid(QWidget* parent, QtPlatform& platform, TfrmMain& form) {
  ToolForm dialog(parent, platform, "export_grid", "Export residual grid");
  QLineEdit* out = dialog.AddFile("Residual grid:", "export_grid_file", false,
                                  std::string(kGridFileFilter));
  auto* cell = new QDoubleSpinBox(&dialog);
  cell->setObjectName("export_grid_cell");
  cell->setRange(0.001, 1e9);
  cell->setDecimals(3);
  cell->setValue(DefaultMapCell(form.Request(), form.Result()));
  cell->setToolTip("Distance between the grid's nodes, in the work CRS's units (metres)");
  dialog.AddRow("Cell size:", cell);
  QComboBox* format = dialog.AddGridFormat("export_grid_format");
  dialog.Finish([&] {
    const std::string path = out->text().trimmed().toStdString();
    if (path.empty()) {
      platform.ShowInfo("Output file name is required field.");
      return false;
    }
    if (RefuseFileClash(platform, RunFiles(form), {{"Residual grid", path}})) return false;
    const GridFormat* type = dialog.FormatOf(format, path);
    if (!type) return false;
    WorkerPlatform worker(platform.DecimalSeparator());
    const double spacing = cell->value();
    const bool written = RunInBackground(worker, dialog.progress(), dialog.stop(), platform, [&] {
      GridValues grid;
      return GridRunResidual(worker, form.Request(), form.Result(), spacing, grid) &&
             WriteGrid(worker, grid, path, *type);
    });
    if (written) ShowGridMap(parent, platform, path);
    return written;
  });
  dialog.exec();
}

void ExportRunMap(QWidget* parent, QtPlatform& platform, TfrmMain& form) {
  ToolForm dialog(parent, platform, "export_map", "Export map");
  QLineEdit* out = dialog.AddFile("Map:", "export_map_file", false,
                                  "PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|"
                                  "PDF document (*.pdf)|*.pdf");
  auto* value = new QComboBox(&dialog);
  value->setObjectName("export_map_value");
  for (const MapVariable v : {MapVariable::kCba, MapVariable::kResidual, MapVariable::kRingCount,
                              MapVariable::kGap}) {
    value->addItem(QString::fromStdString(std::string(MapVariableName(v))), static_cast<int>(v));
  }
  value->setCurrentIndex(1);
  dialog.AddRow("Value:", value);
  auto* width = new QSpinBox(&dialog);
  auto* height = new QSpinBox(&dialog);
  width->setRange(16, 16384);
  height->setRange(16, 16384);
  width->setValue(1200);
  height->setValue(900);
  dialog.AddRow("Width:", width);
  dialog.AddRow("Height:", height);
  dialog.Finish([&] {
    const std::string path = out->text().trimmed().toStdString();
    const std::optional<MapFormat> format = MapFormatOfName(path);
    if (!format) {
      platform.ShowInfo("A map is saved as .png, .svg or .pdf");
      return false;
    }
    if (RefuseFileClash(platform, RunFiles(form), {{"Map", path}})) return false;
    RunMap map;
    const bool was_busy = platform.SetBusyCursor(true);
    const bool saved =
        MakeRunMap(platform, form.Request(), form.Result(),
                   static_cast<MapVariable>(value->currentData().toInt()), 0, true,
                   GriddingOptions(), map) &&
        SaveMap(platform, path, *format, map.scene, FullView(map.scene), width->value(),
                height->value());
    platform.SetBusyCursor(was_busy);
    return saved;
  });
  dialog.exec();
}

}  // namespace torvane
