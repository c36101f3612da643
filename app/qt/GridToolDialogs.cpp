#include "app/qt/GridToolDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/GridSurface.h"
#include "app/qt/BackgroundWork.h"
#include "app/qt/MapWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/ToolForm.h"
#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"
#include "residual/GridResidual.h"

namespace torvane {
namespace {

std::string TextOf(const QLineEdit* field) { return field->text().trimmed().toStdString(); }

bool Named(QtPlatform& platform, const std::string& path, const char* what) {
  if (!path.empty()) return true;
  platform.ShowInfo(std::string(what) + " file name is required field.");
  return false;
}

}  // namespace

GridMapWindow::GridMapWindow(QWidget* parent, QtPlatform& platform, MapSurface surface,
                             MapScene scene)
    : QWidget(parent, Qt::Window), platform_(platform), surface_(std::move(surface)),
      scene_(std::move(scene)) {
  setObjectName("frmGridMap");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString("Torvane - " + scene_.title));
  scene_.surface = &surface_;
  if (scene_.value_caption.empty()) scene_.value_caption = "Value [mGal]";
  auto* full_view = new QPushButton("Full view", this);
  auto* save = new QPushButton("Save...", this);
  save->setObjectName("grid_map_save");
  canvas_ = new MapCanvas(this);
  status_ = new QLabel(this);
  auto* tools = new QHBoxLayout;
  tools->addStretch(1);
  tools->addWidget(full_view);
  tools->addWidget(save);
  auto* column = new QVBoxLayout(this);
  column->addLayout(tools);
  column->addWidget(canvas_, 1);
  column->addWidget(status_);
  canvas_->on_status = [this](const QString& text) { status_->setText(text); };
  canvas_->SetScene(&scene_);
  connect(full_view, &QPushButton::clicked, canvas_, &MapCanvas::ShowFullView);
  connect(save, &QPushButton::clicked, this, [this] {
    FileDialogState state;
    state.filter = "PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
    state.default_extension = "png";
    if (!platform_.ExecuteFileDialog(FileDialog::SaveDialog2, state)) return;
    const std::optional<MapFormat> format = MapFormatOfName(state.file_name);
    if (!format) {
      platform_.ShowInfo("A map is saved as .png, .svg or .pdf");
      return;
    }
    SaveMap(platform_, state.file_name, *format, scene_, canvas_->view(), canvas_->width(),
            canvas_->height(), canvas_->colour_scale());
  });
  resize(900, 680);
}

GridMapWindow* ShowGridMap(QWidget* parent, QtPlatform& platform, const std::string& path,
                           const std::string& title, bool geographic) {
  MapSurface surface;
  std::string crs;
  const bool was_busy = platform.SetBusyCursor(true);
  const bool read = ReadGridSurface(platform, path, surface, &crs);
  platform.SetBusyCursor(was_busy);
  if (!read) return nullptr;
  MapScene scene;
  NameGridMap(scene, path, crs, title, geographic);
  auto* window = new GridMapWindow(parent, platform, std::move(surface), std::move(scene));
  window->show();
  return window;
}

void OpenConvertDialog(QWidget* parent, QtPlatform& platform) {
  ToolForm form(parent, platform, "convert_grid", "Convert grid");
  QLineEdit* in = form.AddFile("Grid to read:", "convert_in", true, std::string(kGridFileFilter));
  QLineEdit* out = form.AddFile("Grid to write:", "convert_out", false, std::string(kGridFileFilter));
  QComboBox* format = form.AddGridFormat("convert_format");
  form.Finish([&] {
    const std::string from = TextOf(in), to = TextOf(out);
    if (!Named(platform, from, "Input") || !Named(platform, to, "Output")) return false;
    if (RefuseFileClash(platform, {{"Grid to read", from}}, {{"Grid to write", to}})) return false;
    const GridFormat* type = form.FormatOf(format, to);
    if (!type) return false;
    WorkerPlatform worker(platform.DecimalSeparator());
    const bool written = RunInBackground(worker, form.progress(), form.stop(), platform, [&] {
      GridValues grid;
      return ReadGridValues(worker, from, grid) && WriteGrid(worker, grid, to, *type);
    });
    if (written) ShowGridMap(parent, platform, to);
    return written;
  });
  form.exec();
}

void OpenGridResidualDialog(QWidget* parent, QtPlatform& platform) {
  ToolForm form(parent, platform, "grid_residual", "Grid residual");
  QLineEdit* in = form.AddFile("Grid to read:", "residual_in", true, std::string(kGridFileFilter));
  QLineEdit* out = form.AddFile("Residual grid:", "residual_out", false, std::string(kGridFileFilter));
  auto* radius = new QDoubleSpinBox(&form);
  radius->setObjectName("residual_radius");
  radius->setRange(0, 1e9);
  radius->setDecimals(3);
  radius->setValue(500);
  auto* unit = new QComboBox(&form);
  unit->setObjectName("residual_unit");
  unit->addItems({"grid units (metres)", "cells"});
  auto* radius_row = new QWidget(&form);
  auto* row = new QHBoxLayout(radius_row);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(radius, 1);
  row->addWidget(unit);
  form.AddRow("Ring radius R:", radius_row);
  auto* points = new QSpinBox(&form);
  points->setObjectName("residual_points");
  points->setRange(1, kMostRingPoints);
  points->setValue(360);
  form.AddRow("Samples N on the ring:", points);
  auto* share = new QDoubleSpinBox(&form);
  share->setObjectName("residual_share");
  share->setRange(0, 1);
  share->setSingleStep(0.05);
  share->setValue(1);
  share->setToolTip("Least share of the N samples that must be usable; 1: the whole ring on the grid");
  form.AddRow("Minimum share S:", share);
  QComboBox* format = form.AddGridFormat("residual_format");
  form.Finish([&] {
    const std::string from = TextOf(in), to = TextOf(out);
    if (!Named(platform, from, "Input") || !Named(platform, to, "Output")) return false;
    if (RefuseFileClash(platform, {{"Grid to read", from}}, {{"Residual grid", to}})) return false;
    if (!(radius->value() > 0)) {
      platform.ShowInfo("Radius must be greater than 0");
      return false;
    }
    const GridFormat* type = form.FormatOf(format, to);
    if (!type) return false;
    const bool in_cells = unit->currentIndex() == 1;
    WorkerPlatform worker(platform.DecimalSeparator());
    const bool written = RunInBackground(worker, form.progress(), form.stop(), platform, [&] {
      GridValues grid;
      if (!ReadGridValues(worker, from, grid)) return false;
      GridResidualRing ring;
      ring.radius = in_cells ? radius->value() * std::min(grid.dx, grid.dy) : radius->value();
      ring.ring_points = points->value();
      ring.min_share = share->value();
      GridValues residual;
      worker.SetProgressRange(0, static_cast<int>(grid.ncols));
      if (!ComputeGridResidual(grid, ring, residual, [&](std::size_t done) {
            worker.SetProgressPosition(static_cast<int>(done));
            return !worker.cancel.load();
          })) {
        return false;
      }
      grid = GridValues();  // the input's memory goes before the writer takes its own
      return WriteGrid(worker, residual, to, *type);
    });
    if (written) ShowGridMap(parent, platform, to);
    return written;
  });
  form.exec();
}

// `torvane-cli map`'s naming of the map: its title and whether the grid is
// in degrees; the map window then saves it as PNG, SVG or PDF.
void OpenGridMapDialog(QWidget* parent, QtPlatform& platform) {
  ToolForm form(parent, platform, "grid_map", "Map of a grid");
  QLineEdit* in = form.AddFile("Grid to draw:", "map_in", true, std::string(kGridFileFilter));
  auto* title = new QLineEdit(&form);
  title->setObjectName("map_title");
  title->setPlaceholderText("the grid's file name");
  form.AddRow("Title:", title);
  auto* geographic = new QCheckBox("longitude and latitude in degrees", &form);
  geographic->setObjectName("map_geographic");
  geographic->setToolTip("For a grid in degrees that names no CRS; a grid that names its CRS "
                         "says so itself");
  form.AddRow("Coordinates:", geographic);
  form.Finish([&] {
    const std::string path = TextOf(in);
    if (!Named(platform, path, "Input")) return false;
    return ShowGridMap(parent, platform, path, TextOf(title), geographic->isChecked()) != nullptr;
  });
  form.exec();
}

}  // namespace torvane
