#include "app/qt/SurveyOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/qt/BackgroundWork.h"
#include "app/qt/BlankingFields.h"
#include "app/qt/QtPlatform.h"
#include "common/DecimalNumber.h"
#include "points/PointFileReader.h"

namespace torvane {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kWgs84 = "EPSG:4326";

// An editable list of CRS texts: none, then each of `choices` and `used`
// once; it shows the first choice.
QComboBox* CrsList(QWidget* parent, const QString& name, std::initializer_list<std::string> choices,
                   const std::vector<std::string>& used) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setMinimumWidth(300);
  list->addItem("");
  const auto add = [list](const std::string& crs) {
    if (!crs.empty() && list->findText(Q(crs)) < 0) list->addItem(Q(crs));
  };
  for (const std::string& crs : choices) add(crs);
  for (const std::string& crs : used) add(crs);
  list->setCurrentText(Q(*choices.begin()));
  return list;
}

// The UTM zone of the survey's centre, when the file reads as degrees with
// the window's columns; empty otherwise.
std::string SurveyUtmZone(QtPlatform& platform, const std::string& survey, char csv_separator) {
  if (survey.empty()) return {};
  WorkerPlatform quiet(platform.DecimalSeparator());
  const PointColumns columns{platform.ItemIndex(Control::cmb_gx), platform.ItemIndex(Control::cmb_gy),
                             platform.ItemIndex(Control::cmb_point), platform.ItemIndex(Control::cmb_uba)};
  PointSet points;
  if (!ReadPointFile(quiet, survey, columns, points, {}, csv_separator)) return {};
  const double longitude = (points.min_x + points.max_x) / 2 - points.shift_x;
  const double latitude = (points.min_y + points.max_y) / 2 - points.shift_y;
  if (!(std::fabs(longitude) <= 180 && std::fabs(latitude) <= 90)) return {};
  return UtmZoneCrs(longitude, latitude);
}

}  // namespace

SurveyOptionsDialog::SurveyOptionsDialog(QWidget* parent, const SurveyOptions& options,
                                         const std::string& utm_zone)
    : QDialog(parent), shown_(options) {
  setObjectName("survey_options");
  setWindowTitle("Survey options");
  crs_ = CrsList(this, "options_crs", {options.crs.crs, kWgs84, utm_zone}, options.recent_crs);
  crs_->setToolTip("The CRS of the file's X and Y: EPSG code, PROJ string, WKT or a CRS's name; "
                   "empty: the coordinates are taken as they are (metres)");
  crs_check_ = new QLabel(this);
  crs_check_->setObjectName("options_crs_check");
  work_crs_ = CrsList(this, "options_work_crs", {options.crs.work_crs, utm_zone}, {});
  work_crs_->setToolTip("A projected CRS in metres for the rings; empty: the UTM zone of the "
                        "survey's centre for degrees, else the stations' own CRS");

  separator_ = new QComboBox(this);
  separator_->setObjectName("options_separator");
  separator_->addItems({"automatic", ". (point)", ", (comma, CSV separated by ;)"});
  separator_->setCurrentIndex(options.decimal_separator == '.' ? 1 : options.decimal_separator == ',' ? 2 : 0);
  quality_ = new QCheckBox("GAP, SECTORS and SD columns", this);
  quality_->setObjectName("options_quality");
  quality_->setChecked(options.quality);
  blanking_ = MakeBlankingFields(this, "options", options.blanking);
  table_ = new QComboBox(this);
  table_->setObjectName("options_table");
  table_->addItems({"fixed width (.dat)", "CSV (.csv)"});
  table_->setCurrentIndex(options.csv_table ? 1 : 0);

  absolute_ = new QCheckBox("absolute gravity [mGal], reduced with the height", this);
  absolute_->setObjectName("options_absolute_gravity");
  absolute_->setToolTip("Each station's simple Bouguer anomaly (normal gravity, free-air and the "
                        "Bouguer plate) stands as its CBA; the stations' CRS gives the latitudes");
  absolute_->setChecked(options.absolute_gravity);
  height_ = new QComboBox(this);
  height_->setObjectName("options_height_column");
  for (char letter = 'A'; letter <= 'Z'; ++letter) height_->addItem(QString(QChar(letter)));
  height_->setCurrentIndex(options.height_column);
  density_ = new QDoubleSpinBox(this);
  density_->setObjectName("options_density");
  density_->setRange(1000, 4000);
  density_->setDecimals(0);
  density_->setValue(options.reduction.density);
  ellipsoid_ = new QComboBox(this);
  ellipsoid_->setObjectName("options_ellipsoid");
  ellipsoid_->addItems({"GRS 80", "WGS 84"});
  ellipsoid_->setCurrentIndex(options.reduction.ellipsoid == Ellipsoid::kWgs84 ? 1 : 0);
  free_air_gradient_ = new QLineEdit(this);
  free_air_gradient_->setObjectName("options_free_air_gradient");
  free_air_gradient_->setPlaceholderText("none: normal gravity's closed form");
  free_air_gradient_->setToolTip("Normal gravity at height as gamma_0 - G * h with this gradient "
                                 "in mGal/m (conventionally 0.3086), as --free-air-gradient");
  if (options.reduction.free_air_gradient) {
    free_air_gradient_->setText(QString::number(*options.reduction.free_air_gradient, 'g', 17));
  }
  bullard_b_ = new QCheckBox("spherical cap of 166.735 km (Bullard B)", this);
  bullard_b_->setObjectName("options_bullard_b");
  bullard_b_->setChecked(options.reduction.bullard_b);
  grid_memory_ = new QSpinBox(this);
  grid_memory_->setObjectName("options_grid_memory");
  grid_memory_->setRange(0, 1 << 30);
  grid_memory_->setSuffix(" MiB");
  grid_memory_->setSpecialValueText("no limit");
  grid_memory_->setToolTip("Grid mode: a grid whose nodes (4 bytes each) need more is read from "
                           "its file instead (binary formats) or refused (ASCII formats)");
  grid_memory_->setValue(static_cast<int>(std::min<std::uint64_t>(options.grid_memory_limit_mib, 1 << 30)));
  const auto enable_reduction = [this] {
    for (QWidget* field : {static_cast<QWidget*>(height_), static_cast<QWidget*>(density_),
                           static_cast<QWidget*>(ellipsoid_),
                           static_cast<QWidget*>(free_air_gradient_),
                           static_cast<QWidget*>(bullard_b_)}) {
      field->setEnabled(absolute_->isChecked());
    }
  };
  enable_reduction();
  connect(absolute_, &QCheckBox::toggled, this, enable_reduction);
  connect(absolute_, &QCheckBox::toggled, this, [this] { CheckCrs(); });

  auto* form = new QFormLayout;
  form->addRow("Stations' CRS:", crs_);
  form->addRow("", crs_check_);
  form->addRow("Work CRS:", work_crs_);
  form->addRow("Decimal separator of CSV files:", separator_);
  form->addRow("Ring quality:", quality_);
  form->addRow("Minimum ring points:", blanking_.min_points);
  form->addRow("Maximum gap [degrees]:", blanking_.max_gap);
  form->addRow("Tables:", table_);
  form->addRow("The CBA column holds:", absolute_);
  form->addRow("Height column [m]:", height_);
  form->addRow("Bouguer density [kg/m\u00b3]:", density_);
  form->addRow("Ellipsoid of normal gravity:", ellipsoid_);
  form->addRow("Free-air gradient [mGal/m]:", free_air_gradient_);
  form->addRow("Bouguer plate:", bullard_b_);
  form->addRow("Grid memory limit:", grid_memory_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    SurveyOptions taken;
    if (Take(taken)) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(buttons);
  connect(crs_, &QComboBox::currentTextChanged, this, [this] { CheckCrs(); });
  connect(free_air_gradient_, &QLineEdit::textChanged, this, [this] { CheckCrs(); });
  connect(work_crs_, &QComboBox::currentTextChanged, this, [this] { CheckCrs(); });
  CheckCrs();
}

// What PROJ makes of the two texts, shown under the first as they are typed.
void SurveyOptionsDialog::CheckCrs() {
  SurveyOptions options;
  Take(options);
}

bool SurveyOptionsDialog::Take(SurveyOptions& options) const {
  options = shown_;
  options.crs.crs = crs_->currentText().trimmed().toStdString();
  options.crs.work_crs = work_crs_->currentText().trimmed().toStdString();
  const auto say = [this](const QString& text, bool fine) {
    crs_check_->setText(text);
    crs_check_->setStyleSheet(fine ? "" : "color: #b00000");
    return fine;
  };
  const auto kind_text = [](CrsKind kind) {
    switch (kind) {
      case CrsKind::kGeographic: return QString("geographic (longitude, latitude)");
      case CrsKind::kProjected: return QString("projected");
      default: return QString();
    }
  };
  QString stations = "no CRS: coordinates taken as they are";
  if (!options.crs.crs.empty()) {
    const CrsKind kind = DescribeCrs(options.crs.crs);
    if (kind == CrsKind::kUnknown) return say("PROJ does not know this CRS", false);
    if (kind == CrsKind::kOther) return say("not a geographic or projected CRS", false);
    stations = kind_text(kind);
  }
  if (!options.crs.work_crs.empty()) {
    if (options.crs.crs.empty()) return say("a work CRS needs the stations' CRS", false);
    if (DescribeCrs(options.crs.work_crs) != CrsKind::kProjected) {
      return say("the work CRS must be a projected CRS PROJ knows", false);
    }
  }
  options.decimal_separator = separator_->currentIndex() == 1 ? '.' : separator_->currentIndex() == 2 ? ',' : 0;
  options.quality = quality_->isChecked();
  if (!ReadBlankingFields(blanking_, options.blanking)) {
    return say("the maximum gap is a number of degrees >= 0", false);
  }
  options.csv_table = table_->currentIndex() == 1;
  options.absolute_gravity = absolute_->isChecked();
  options.height_column = height_->currentIndex();
  options.reduction.density = density_->value();
  options.reduction.ellipsoid = ellipsoid_->currentIndex() == 1 ? Ellipsoid::kWgs84 : Ellipsoid::kGrs80;
  const QString gradient = free_air_gradient_->text().trimmed();
  options.reduction.free_air_gradient.reset();
  if (!gradient.isEmpty()) {
    double value = 0;
    if (!ParseTypedDecimal(gradient.toStdString(), '.', value) || !std::isfinite(value)) {
      return say("the free-air gradient is a number in mGal/m, or empty", false);
    }
    options.reduction.free_air_gradient = value;
  }
  options.reduction.bullard_b = bullard_b_->isChecked();
  options.grid_memory_limit_mib = static_cast<std::uint64_t>(grid_memory_->value());
  if (options.absolute_gravity && options.crs.crs.empty()) {
    return say("absolute gravity needs the stations' CRS: their latitudes give normal gravity", false);
  }
  return say("Stations: " + stations, true);
}

bool EditSurveyOptions(QWidget* parent, QtPlatform& platform, SurveyOptions& options,
                       const std::string& survey) {
  SurveyOptionsDialog dialog(parent, options,
                             SurveyUtmZone(platform, survey, options.decimal_separator == ',' ? ',' : '.'));
  if (dialog.exec() != QDialog::Accepted) return false;
  return dialog.Take(options);
}

}  // namespace torvane
