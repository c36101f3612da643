#include "app/qt/SweepDialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "app/Hvw.h"
#include "app/SettingsFile.h"
#include "app/qt/BackgroundWork.h"
#include "app/qt/BlankingFields.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/ToolForm.h"
#include "common/DecimalNumber.h"
#include "residual/SweepTable.h"

namespace torvane {
namespace {

constexpr const char* kColumns[] = {"radius", "band", "points_with_ring", "mean_n",
                                    "rms_residual", "mean_abs_residual", "correlation_previous",
                                    "share_gap_over_180"};

QString Number(double value, int decimals) {
  return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

// The curve's rows as the table below the curve shows them.
void FillTable(QTableWidget* table, const std::vector<CurveRow>& curve) {
  table->setRowCount(static_cast<int>(curve.size()));
  for (int r = 0; r < static_cast<int>(curve.size()); ++r) {
    const CurveRow& row = curve[static_cast<std::size_t>(r)];
    const QString cells[] = {QString::number(row.radius, 'g', 12), QString::number(row.band, 'g', 12),
                             QString::number(row.points_with_ring), Number(row.mean_n, 1),
                             Number(row.rms_residual, 3), Number(row.mean_abs_residual, 3),
                             Number(row.correlation_previous, 3), Number(row.share_gap_over_180, 3)};
    for (int c = 0; c < 8; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(r, c, item);
    }
  }
}

}  // namespace

CurveView::CurveView(QWidget* parent) : QWidget(parent) {
  setObjectName("sweep_curve");
  setMinimumSize(520, 300);
  setCursor(Qt::PointingHandCursor);
  setToolTip("Click a radius to take it and its band into the window's R and D");
}

void CurveView::SetCurve(const std::vector<CurveRow>* curve) {
  curve_ = curve;
  picked_ = -1;
  update();
}

CurveView::Frame CurveView::Layout() const {
  Frame f{64, static_cast<double>(width()) - 16, 28, static_cast<double>(height()) - 44, 0, 1, 0, 1};
  if (curve_ == nullptr || curve_->empty()) return f;
  f.x0 = curve_->front().radius;
  f.x1 = curve_->back().radius;
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const CurveRow& row : *curve_) {
    f.x0 = std::min(f.x0, row.radius);
    f.x1 = std::max(f.x1, row.radius);
    for (const double y : {row.rms_residual, row.mean_abs_residual}) {
      if (std::isfinite(y)) {
        low = std::min(low, y);
        high = std::max(high, y);
      }
    }
  }
  if (!(f.x1 > f.x0)) f.x1 = f.x0 + 1;
  f.y0 = std::isfinite(low) ? std::min(0.0, low) : 0;
  f.y1 = std::isfinite(high) && high > f.y0 ? high : f.y0 + 1;
  NiceTicks(f.y0, f.y1, 5);
  return f;
}

double CurveView::XOf(int row) const {
  const Frame f = Layout();
  const double r = (*curve_)[static_cast<std::size_t>(row)].radius;
  return f.left + (r - f.x0) / (f.x1 - f.x0) * (f.right - f.left);
}

int CurveView::RowAt(double x) const {
  if (curve_ == nullptr || curve_->empty()) return -1;
  int best = 0;
  for (int r = 1; r < static_cast<int>(curve_->size()); ++r) {
    if (std::fabs(XOf(r) - x) < std::fabs(XOf(best) - x)) best = r;
  }
  return best;
}

void CurveView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  const Frame f = Layout();
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(QRectF(f.left, f.top, f.right - f.left, f.bottom - f.top));
  if (curve_ == nullptr || curve_->empty()) {
    painter.drawText(rect(), Qt::AlignCenter, "Run the sweep to see its curve");
    return;
  }
  const auto px = [&](double x) { return f.left + (x - f.x0) / (f.x1 - f.x0) * (f.right - f.left); };
  const auto py = [&](double y) { return f.bottom - (y - f.y0) / (f.y1 - f.y0) * (f.bottom - f.top); };
  double y_low = f.y0, y_high = f.y1;
  const QFontMetrics metrics(font());
  for (const double tick : NiceTicks(y_low, y_high, 5)) {
    const double y = py(tick);
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    painter.drawLine(QPointF(f.left, y), QPointF(f.right, y));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, y - 9, f.left - 6, 18), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(tick, 'g', 4));
  }
  double x_low = f.x0, x_high = f.x1;
  for (const double tick : NiceTicks(x_low, x_high, 8)) {
    if (tick < f.x0 - 1e-9 || tick > f.x1 + 1e-9) continue;
    painter.drawText(QRectF(px(tick) - 40, f.bottom + 4, 80, 16), Qt::AlignCenter,
                     QString::number(tick, 'g', 6));
  }
  painter.drawText(QRectF(f.left, f.bottom + 22, f.right - f.left, 18), Qt::AlignCenter,
                   "ring radius R [m]");
  painter.save();
  painter.translate(12, (f.top + f.bottom) / 2);
  painter.rotate(-90);
  painter.drawText(QRectF(-100, -8, 200, 16), Qt::AlignCenter, "residual [mGal]");
  painter.restore();
  if (picked_ >= 0) {
    painter.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    painter.drawLine(QPointF(XOf(picked_), f.top), QPointF(XOf(picked_), f.bottom));
  }
  const CurveChart chart = SweepChart(*curve_);
  int legend = 0;
  for (const CurveSeries& series : chart.series) {
    const QColor colour = QColor::fromRgbF(static_cast<float>(series.red),
                                           static_cast<float>(series.green),
                                           static_cast<float>(series.blue));
    QPen pen(colour, 2, series.dashed ? Qt::DashLine : Qt::SolidLine);
    painter.setPen(pen);
    QPainterPath path;
    bool drawing = false;
    for (std::size_t i = 0; i < chart.x.size(); ++i) {
      if (!std::isfinite(series.y[i])) {
        drawing = false;
        continue;
      }
      const QPointF at(px(chart.x[i]), py(series.y[i]));
      if (drawing) {
        path.lineTo(at);
      } else {
        path.moveTo(at);
      }
      drawing = true;
    }
    painter.drawPath(path);
    painter.setBrush(colour);
    for (std::size_t i = 0; i < chart.x.size(); ++i) {
      if (std::isfinite(series.y[i])) painter.drawEllipse(QPointF(px(chart.x[i]), py(series.y[i])), 3, 3);
    }
    painter.setBrush(Qt::NoBrush);
    const double ly = f.top + 12 + 18 * legend++;
    painter.drawLine(QPointF(f.left + 12, ly), QPointF(f.left + 40, ly));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(f.left + 46, ly + 5), QString::fromStdString(series.label));
  }
  painter.setPen(Qt::black);
  painter.drawText(QRectF(0, 4, width(), 20), Qt::AlignCenter, QString::fromStdString(chart.title));
}

void CurveView::mousePressEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().x());
  if (row < 0) return;
  picked_ = row;
  update();
  if (on_pick) on_pick(row);
}

SweepDialog::SweepDialog(QWidget* parent, QtPlatform& platform, TfrmMain& form,
                         const SurveyOptions& options)
    : QDialog(parent), platform_(platform), form_(form), options_(options) {
  setObjectName("sweep");
  setWindowTitle("Radius sweep");
  radii_ = new QLineEdit("100:2000:100", this);
  radii_->setObjectName("sweep_radii");
  radii_->setToolTip("Radii in metres: R1,R2,... or START:STOP:STEP (written with '.')");
  fixed_ = new QRadioButton("Band D [m]", this);
  ratio_ = new QRadioButton("Band ratio F (D = F * R)", this);
  ratio_->setObjectName("sweep_ratio");
  ratio_->setChecked(true);
  band_ = new QLineEdit("0.2", this);
  band_->setObjectName("sweep_band");
  blanking_ = MakeBlankingFields(this, "sweep", options.blanking);
  run_ = new QPushButton("Run", this);
  run_->setObjectName("sweep_run");
  run_->setDefault(true);
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("sweep_cancel");
  cancel_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("sweep_progress");
  progress_->setValue(0);
  curve_ = new CurveView(this);
  table_ = new QTableWidget(0, 8, this);
  table_->setObjectName("sweep_table");
  QStringList headers;
  for (const char* name : kColumns) headers << name;
  table_->setHorizontalHeaderLabels(headers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setMinimumHeight(150);
  save_table_ = new QPushButton("Save table...", this);
  save_curve_ = new QPushButton("Save curve...", this);
  save_plot_ = new QPushButton("Save plot...", this);
  auto* close = new QPushButton("Close", this);

  auto* band_row = new QHBoxLayout;
  band_row->addWidget(fixed_);
  band_row->addWidget(ratio_);
  band_row->addWidget(band_, 1);
  auto* form_layout = new QFormLayout;
  form_layout->addRow("Radii:", radii_);
  form_layout->addRow("Band:", band_row);
  form_layout->addRow("Minimum ring points:", blanking_.min_points);
  form_layout->addRow("Maximum gap [degrees]:", blanking_.max_gap);
  auto* run_row = new QHBoxLayout;
  run_row->addWidget(run_);
  run_row->addWidget(progress_, 1);
  run_row->addWidget(cancel_);
  auto* save_row = new QHBoxLayout;
  save_row->addWidget(save_table_);
  save_row->addWidget(save_curve_);
  save_row->addWidget(save_plot_);
  save_row->addStretch(1);
  save_row->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form_layout);
  column->addLayout(run_row);
  column->addWidget(curve_, 3);
  column->addWidget(table_, 2);
  column->addLayout(save_row);
  for (QPushButton* save : {save_table_, save_curve_, save_plot_}) save->setEnabled(false);

  connect(run_, &QPushButton::clicked, this, [this] { RunSweep(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  curve_->on_pick = [this](int row) { Pick(row); };
  connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { Pick(row); });
  connect(save_table_, &QPushButton::clicked, this, [this] {
    ChooseAndSave("Surfer DAT files (*.dat)|*.dat|CSV tables (*.csv)|*.csv", "dat",
                  &SweepDialog::SaveTable);
  });
  connect(save_curve_, &QPushButton::clicked, this, [this] {
    ChooseAndSave("CSV tables (*.csv)|*.csv", "csv", &SweepDialog::SaveCurve);
  });
  connect(save_plot_, &QPushButton::clicked, this, [this] {
    ChooseAndSave("PNG picture (*.png)|*.png", "png", &SweepDialog::SavePlot);
  });
  resize(820, 760);
}

bool SweepDialog::RunSweep() {
  if (form_.Running()) return false;
  double band = 0;
  const std::string band_text = band_->text().trimmed().toStdString();
  if (!ParseDecimal(band_text, '.', band) || !(band >= 0) || (ratio_->isChecked() && band > 1)) {
    platform_.ShowInfo(ratio_->isChecked() ? "The band ratio is a number from 0 to 1"
                                           : "The band is a number >= 0");
    return false;
  }
  std::vector<SweepRadius> rings;
  std::string problem;
  if (!SweepRings(radii_->text().trimmed().toStdString(), band, ratio_->isChecked(), rings, problem)) {
    platform_.ShowInfo("Radii: " + problem);
    return false;
  }
  RingBlanking blanking;
  if (!ReadBlankingFields(blanking_, blanking)) {
    platform_.ShowInfo("The maximum gap is a number of degrees >= 0");
    return false;
  }
  StationSource survey;
  survey.path = platform_.Text(Control::txt_in);
  if (survey.path.empty()) {
    platform_.ShowInfo("Input file name is required field.");
    return false;
  }
  survey.columns = {platform_.ItemIndex(Control::cmb_gx), platform_.ItemIndex(Control::cmb_gy),
                    platform_.ItemIndex(Control::cmb_point), platform_.ItemIndex(Control::cmb_uba)};
  survey.decimal_separator = options_.decimal_separator;
  survey.crs = options_.crs;
  if (options_.absolute_gravity) {
    survey.columns.height = options_.height_column;
    survey.gravity_reduction = options_.reduction;
  }

  curve_->SetCurve(nullptr);
  table_->setRowCount(0);
  have_outcome_ = false;
  for (QPushButton* save : {save_table_, save_curve_, save_plot_}) save->setEnabled(false);
  run_->setEnabled(false);
  running_ = true;
  WorkerPlatform worker(platform_.DecimalSeparator());
  SweepOutcome outcome;
  const bool swept = RunInBackground(worker, progress_, cancel_, platform_, [&] {
    return torvane::RunSweep(worker, survey, rings, blanking, outcome, &worker.cancel);
  });
  run_->setEnabled(true);
  running_ = false;
  if (!swept) return false;
  outcome_ = std::move(outcome);
  have_outcome_ = true;
  curve_->SetCurve(&outcome_.curve);
  FillTable(table_, outcome_.curve);
  for (QPushButton* save : {save_table_, save_curve_, save_plot_}) save->setEnabled(true);
  return true;
}

void SweepDialog::reject() {
  if (running_) cancel_->click();
  QDialog::reject();
}

void SweepDialog::Pick(int row) {
  if (!have_outcome_ || row < 0 || row >= static_cast<int>(outcome_.curve.size())) return;
  const CurveRow& chosen = outcome_.curve[static_cast<std::size_t>(row)];
  const char separator = platform_.DecimalSeparator();
  platform_.SetText(Control::txt_rfs, FormatStoredNumber(chosen.radius, separator));
  platform_.SetText(Control::txt_rfa, FormatStoredNumber(chosen.band, separator));
  table_->selectRow(row);
}

bool SweepDialog::SaveTable(const std::string& path) {
  if (!have_outcome_) return false;
  if (WriteSweepTable(path, outcome_.points, outcome_.columns)) return true;
  platform_.ShowFileError("Cannot write the sweep table " + path, path, 0);
  return false;
}

bool SweepDialog::SaveCurve(const std::string& path) {
  if (!have_outcome_) return false;
  if (WriteSweepCurve(path, outcome_.curve)) return true;
  platform_.ShowFileError("Cannot write the curve " + path, path, 0);
  return false;
}

bool SweepDialog::SavePlot(const std::string& path) {
  if (!have_outcome_) return false;
  if (WriteCurvePlot(path, SweepChart(outcome_.curve))) return true;
  platform_.ShowFileError("Cannot write the plot " + path, path, 0);
  return false;
}

void SweepDialog::ChooseAndSave(const char* filter, const char* extension,
                                bool (SweepDialog::*save)(const std::string&)) {
  FileDialogState state;
  state.filter = filter;
  state.default_extension = extension;
  if (!platform_.ExecuteFileDialog(FileDialog::SaveDialog2, state)) return;
  if (RefuseFileClash(platform_, {{"Input file", platform_.Text(Control::txt_in)}},
                      {{"Save", state.file_name}})) {
    return;
  }
  (this->*save)(state.file_name);
}

void OpenSweepDialog(QWidget* parent, QtPlatform& platform, TfrmMain& form,
                     const SurveyOptions& options) {
  if (form.Running()) return;
  SweepDialog dialog(parent, platform, form, options);
  dialog.exec();
}

}  // namespace torvane
