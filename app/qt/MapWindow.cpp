#include "app/qt/MapWindow.h"

#include "preview/Contours.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/ExportClash.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"

namespace torvane {
namespace {

constexpr double kZoomPerNotch = 1.25;  // one wheel notch (120 units)

// The map window's file types, in the order of the save dialog's filters.
constexpr MapFormat kSaveFormats[] = {MapFormat::kPng, MapFormat::kSvg, MapFormat::kPdf};
constexpr const char* kSaveExtensions[] = {"png", "svg", "pdf"};

QString Number(double value) { return QString::number(value, 'f', 2); }

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName("map_canvas");
  setMouseTracking(true);
  setMinimumSize(320, 240);
  setCursor(Qt::CrossCursor);
}

void MapCanvas::SetScene(const MapScene* scene) {
  scene_ = scene;
  scale_.reset();
  if (scene_ != nullptr) view_ = FullView(*scene_);
  Redraw();
}

void MapCanvas::Redraw() {
  stale_ = true;
  update();
}

void MapCanvas::ShowView(const MapView& view) {
  view_ = view;
  Redraw();
}

void MapCanvas::ShowFullView() {
  if (scene_ != nullptr) view_ = FullView(*scene_);
  Redraw();
}

void MapCanvas::ZoomAt(QPointF position, double factor) {
  const MapLayout& layout = image_.layout;
  if (scene_ == nullptr || !(layout.pixel_size > 0) || !(factor > 0)) return;
  // The map position under the cursor stays where it is.
  const double x = layout.MapX(position.x() - 0.5);
  const double y = layout.MapY(position.y() - 0.5);
  view_ = {x + (view_.x_min - x) / factor, x + (view_.x_max - x) / factor,
           y + (view_.y_min - y) / factor, y + (view_.y_max - y) / factor};
  Redraw();
}

void MapCanvas::PanBy(QPointF pixels) {
  const double s = image_.layout.pixel_size;
  if (!(s > 0)) return;
  const double dx = -pixels.x() * s;
  const double dy = pixels.y() * s;
  view_ = {view_.x_min + dx, view_.x_max + dx, view_.y_min + dy, view_.y_max + dy};
  Redraw();
}

QString MapCanvas::Describe(QPointF position) const {
  const MapLayout& layout = image_.layout;
  const PixelBox& plot = layout.plot;
  if (scene_ == nullptr || position.x() < plot.left || position.y() < plot.top ||
      position.x() >= plot.left + plot.width || position.y() >= plot.top + plot.height) {
    return QString();
  }
  const double x = layout.MapX(std::floor(position.x()));
  const double y = layout.MapY(std::floor(position.y()));
  const char* unit = scene_->geographic ? "\u00b0" : " m";
  QString text = QString("X = %1%3   Y = %2%3")
                     .arg(Number(x - scene_->shift_x), Number(y - scene_->shift_y), unit);
  if (scene_->surface != nullptr) {
    const float value = SurfaceValueAt(*scene_->surface, x, y);
    // "Residual [mGal]" reads "Residual = 1.2345 mGal".
    const QString caption = QString::fromStdString(scene_->value_caption);
    const qsizetype bracket = caption.indexOf(" [");
    const QString name = bracket < 0 ? caption : caption.left(bracket);
    const QString value_unit = bracket < 0 ? QString() : " " + caption.mid(bracket + 2).chopped(1);
    text += QString("   %1 = ").arg(name);
    text += IsPreviewBlank(value) ? QString("blank") : QString::number(value, 'f', 4) + value_unit;
  }
  return text;
}

void MapCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (scene_ == nullptr) return;
  if (stale_ || image_.width != width() || image_.height != height()) {
    image_ = RenderMapImage(*scene_, view_, width(), height(), scale_);
    if (!scale_) scale_ = image_.layout.scale;
    stale_ = false;
  }
  if (image_.argb.empty()) return;
  const QImage picture(reinterpret_cast<const uchar*>(image_.argb.data()), image_.width,
                       image_.height, QImage::Format_ARGB32_Premultiplied);
  painter.drawImage(0, 0, picture);
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) ZoomAt(event->position(), std::pow(kZoomPerNotch, notches));
  event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) drag_from_ = event->position();
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (drag_from_ && (event->buttons() & Qt::LeftButton)) {
    PanBy(event->position() - *drag_from_);
    drag_from_ = event->position();
  }
  if (on_status) on_status(Describe(event->position()));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent*) { drag_from_.reset(); }

MapWindow::MapWindow(MainWindow& main, QtPlatform& platform, const RunRequest& request,
                     RunResult& result)
    : QWidget(&main, Qt::Window), platform_(platform), request_(request), result_(result) {
  setObjectName("frmMap");
  setWindowTitle("Torvane map");
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(1000, 760);

  variables_ = new QComboBox(this);
  variables_->setObjectName("map_variable");
  variables_->setToolTip("Value to map");
  for (const MapVariable v : {MapVariable::kCba, MapVariable::kResidual, MapVariable::kRingCount,
                              MapVariable::kGap}) {
    variables_->addItem(QString::fromUtf8(MapVariableName(v).data(),
                                          static_cast<qsizetype>(MapVariableName(v).size())),
                        static_cast<int>(v));
  }
  stations_ = new QCheckBox("Stations", this);
  stations_->setObjectName("map_stations");
  stations_->setToolTip("Show the survey stations as dots");
  scales_ = new QComboBox(this);
  scales_->setObjectName("map_scale");
  scales_->setToolTip("Colour scale: equalised areas, linear over the 2nd to 98th percentile,\n"
                      "0.066 standard deviations a colour, or the range typed beside");
  for (const ScaleKind kind : kScaleKinds) scales_->addItem(ScaleKindName(kind), static_cast<int>(kind));
  palettes_ = new QComboBox(this);
  palettes_->setObjectName("map_palette");
  palettes_->setToolTip("Colours: the value's default, the previews' colours, blue-white-red\n"
                        "centred on 0, viridis or cividis");
  palettes_->addItem("default", -1);
  for (const Palette palette : kPalettes) palettes_->addItem(PaletteName(palette), static_cast<int>(palette));
  range_ = new QLineEdit(this);
  range_->setObjectName("map_range");
  range_->setPlaceholderText("min:max");
  range_->setToolTip("The range of the colours, MIN:MAX, with the scale \"range\"");
  range_->setMaximumWidth(140);
  contours_ = new QCheckBox("Contours", this);
  contours_->setObjectName("map_contours");
  contours_->setToolTip("Draw labelled contour lines at a round interval");
  full_view_ = new QPushButton("Full view", this);
  full_view_->setObjectName("map_full_view");
  save_ = new QPushButton("Save...", this);
  save_->setObjectName("map_save");
  save_->setToolTip("Save the map as shown: PNG, SVG or PDF");
  canvas_ = new MapCanvas(this);
  status_ = new QLabel(this);
  status_->setObjectName("map_status");
  status_->setMinimumHeight(status_->fontMetrics().height() + 4);

  auto* tools = new QHBoxLayout;
  tools->addWidget(variables_);
  tools->addWidget(stations_);
  tools->addWidget(scales_);
  tools->addWidget(palettes_);
  tools->addWidget(range_);
  tools->addWidget(contours_);
  tools->addStretch(1);
  tools->addWidget(full_view_);
  tools->addWidget(save_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(tools);
  column->addWidget(canvas_, 1);
  column->addWidget(status_);

  canvas_->on_status = [this](const QString& text) { status_->setText(text); };
  connect(variables_, &QComboBox::activated, this, [this] {
    ShowVariable(static_cast<MapVariable>(variables_->currentData().toInt()));
  });
  connect(stations_, &QCheckBox::toggled, this, [this](bool on) {
    if (!map_) return;
    map_->scene.show_stations = on;
    canvas_->Redraw();
  });
  connect(scales_, &QComboBox::activated, this, &MapWindow::ApplyLook);
  connect(palettes_, &QComboBox::activated, this, &MapWindow::ApplyLook);
  connect(range_, &QLineEdit::editingFinished, this, [this] {
    scales_->setCurrentIndex(scales_->findData(static_cast<int>(ScaleKind::kRange)));
    ApplyLook();
  });
  connect(contours_, &QCheckBox::toggled, this, &MapWindow::ApplyLook);
  connect(full_view_, &QPushButton::clicked, canvas_, &MapCanvas::ShowFullView);
  connect(save_, &QPushButton::clicked, this, &MapWindow::ChooseAndSave);

  save_dialog_.filter = "PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
  // No default extension: a name without one takes the chosen file type's.
  save_dialog_.default_extension = "";
}

void MapWindow::ShowVariable(MapVariable variable) {
  variables_->setCurrentIndex(variables_->findData(static_cast<int>(variable)));
  canvas_->SetScene(nullptr);
  auto map = std::make_unique<RunMap>();
  const bool was_busy = platform_.SetBusyCursor(true);
  const bool made = MakeRunMap(platform_, request_, result_, variable, 0, stations_->isChecked(),
                               GriddingOptions(), *map);
  platform_.SetBusyCursor(was_busy);
  map_ = made ? std::move(map) : nullptr;
  status_->clear();
  ApplyLook();
}

void MapWindow::ApplyLook() {
  if (!map_) {
    canvas_->SetScene(nullptr);
    return;
  }
  MapScene& scene = map_->scene;
  scene.colours = ColourChoice();
  scene.colours.scale = static_cast<ScaleKind>(scales_->currentData().toInt());
  if (palettes_->currentData().toInt() >= 0) {
    scene.colours.palette = static_cast<Palette>(palettes_->currentData().toInt());
  }
  if (scene.colours.scale == ScaleKind::kRange) {
    const QStringList ends = range_->text().split(':');
    bool low_ok = false, high_ok = false;
    const double low = ends.size() == 2 ? ends[0].trimmed().toDouble(&low_ok) : 0;
    const double high = ends.size() == 2 ? ends[1].trimmed().toDouble(&high_ok) : 0;
    if (low_ok && high_ok && low < high) {
      scene.colours.range_min = low;
      scene.colours.range_max = high;
    } else {
      scene.colours.scale = ScaleKind::kLinear;  // nothing usable typed yet
      status_->setText("Type the colour range as MIN:MAX, such as -20:20");
    }
  }
  scene.contour_interval =
      contours_->isChecked() && scene.surface != nullptr ? ContourIntervalFor(*scene.surface) : 0;
  const MapView view = canvas_->view();
  const bool same_map = canvas_->scene() == &scene;
  canvas_->SetScene(&scene);
  if (same_map && view.width() > 0) canvas_->ShowView(view);
}

bool MapWindow::SaveTo(const std::string& path, MapFormat format) {
  if (!map_ || ExportClashes(platform_, path)) return false;
  return SaveMap(platform_, path, format, map_->scene, canvas_->view(), canvas_->width(),
                 canvas_->height(), canvas_->colour_scale());
}

void MapWindow::ChooseAndSave() {
  if (!map_) return;
  std::string name(MapVariableName(map_->variable));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const int chosen = std::clamp(save_dialog_.filter_index, 1, 3) - 1;
  save_dialog_.file_name = name + "_map." + kSaveExtensions[chosen];
  if (!platform_.ExecuteFileDialog(FileDialog::SaveDialog2, save_dialog_)) return;
  // The name's own extension decides; a name without one takes the filter's.
  std::string path = save_dialog_.file_name;
  std::optional<MapFormat> format = MapFormatOfName(path);
  if (!format) {
    const int filter = std::clamp(save_dialog_.filter_index, 1, 3) - 1;
    format = kSaveFormats[filter];
    path += std::string(".") + kSaveExtensions[filter];
  }
  SaveTo(path, *format);
}

namespace {

// Double-clicks on the two previews.
class PreviewDoubleClick : public QObject {
 public:
  PreviewDoubleClick(MainWindow& window, QtPlatform& platform, const RunRequest& request,
                     RunResult& result)
      : QObject(&window), window_(window), platform_(platform), request_(request),
        result_(result) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonDblClick) return false;
    if (!result_.completed || result_.busy) return true;
    if (map_ == nullptr) map_ = new MapWindow(window_, platform_, request_, result_);
    map_->show();
    map_->raise();
    map_->activateWindow();
    map_->ShowVariable(watched == window_.Widget(Control::img_uba) ? MapVariable::kCba
                                                                   : MapVariable::kResidual);
    return true;
  }

  void CloseMap() {
    if (map_ != nullptr) map_->close();
  }

 private:
  MainWindow& window_;
  QtPlatform& platform_;
  const RunRequest& request_;
  RunResult& result_;
  QPointer<MapWindow> map_;
};

}  // namespace

void ConnectMapWindow(MainWindow& window, QtPlatform& platform, const RunRequest& request,
                      RunResult& result) {
  auto* opener = new PreviewDoubleClick(window, platform, request, result);
  for (const Control image : {Control::img_uba, Control::img_regta}) {
    window.Widget(image)->installEventFilter(opener);
  }
  // A new run replaces the points the map shows.
  QObject::connect(qobject_cast<QAbstractButton*>(window.Widget(Control::btn_calc)),
                   &QAbstractButton::pressed, opener, [opener] { opener->CloseMap(); });
}

}  // namespace torvane
