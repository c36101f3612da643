#pragma once
// The map window: one value of the last run as a full-size map, drawn by
// the core's map renderer. The wheel zooms about the cursor, dragging pans,
// the status line tells the map position and the value under the cursor
// with its unit; lists switch between the values, the colour scales and
// the palettes, a range can be typed, contours shown, and Save writes what
// is shown as PNG, SVG or PDF. It is opened by a double-click on either preview once a run
// has results, and closes with the main window or when a new run starts.

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/Platform.h"
#include "app/RunMap.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace torvane {

class MainWindow;
class QtPlatform;
class TfrmMain;

// The map itself, drawn at the widget's size.
class MapCanvas : public QWidget {
 public:
  explicit MapCanvas(QWidget* parent);

  // Shows `scene` (null: nothing) over its full extent, laying the colour
  // scale anew. The scene must outlive its showing.
  void SetScene(const MapScene* scene);
  void Redraw();  // after the scene changed what it draws
  void ZoomAt(QPointF position, double factor);
  void PanBy(QPointF pixels);
  void ShowFullView();
  void ShowView(const MapView& view);  // the colours laid stay

  const MapView& view() const { return view_; }
  const MapScene* scene() const { return scene_; }
  const std::optional<ColourScale>& colour_scale() const { return scale_; }
  // What is under the pixel, as the status line tells it.
  QString Describe(QPointF position) const;

  std::function<void(const QString&)> on_status;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const MapScene* scene_ = nullptr;
  MapView view_;
  std::optional<ColourScale> scale_;
  MapImage image_;
  bool stale_ = true;
  std::optional<QPointF> drag_from_;
};

class MapWindow : public QWidget {
 public:
  // Maps `result`, the result of `request`: both belong to the run that
  // fills them and outlive the window.
  MapWindow(MainWindow& main, QtPlatform& platform, const RunRequest& request, RunResult& result);

  // Grids `variable` of the last run and shows it over its full extent.
  void ShowVariable(MapVariable variable);
  // Writes what the canvas shows, at its size; false when that failed (the
  // user has been told).
  bool SaveTo(const std::string& path, MapFormat format);

  MapCanvas* canvas() const { return canvas_; }

 private:
  void ChooseAndSave();
  // Sets the scene's colours and contours from the controls and redraws.
  void ApplyLook();

  QtPlatform& platform_;
  const RunRequest& request_;
  RunResult& result_;
  std::unique_ptr<RunMap> map_;
  QComboBox* variables_;
  QCheckBox* stations_;
  QComboBox* scales_;
  QComboBox* palettes_;
  QLineEdit* range_;
  QCheckBox* contours_;
  QPushButton* save_;
  QPushButton* full_view_;
  MapCanvas* canvas_;
  QLabel* status_;
  FileDialogState save_dialog_;
};

// Opens the map window on a double-click on either preview (img_uba: the
// CBA, img_regta: the residual) when the run has results and is not in
// progress, and closes it when Calc is pressed.
void ConnectMapWindow(MainWindow& window, QtPlatform& platform, const RunRequest& request,
                      RunResult& result);

}  // namespace torvane
