#include "app/qt/ReduceDialog.h"

#include <QLabel>
#include <QLineEdit>

#include "app/FileChoosers.h"
#include "app/GravityTable.h"
#include "app/SurveyOptions.h"
#include "app/qt/BackgroundWork.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/ToolForm.h"

namespace torvane {
namespace {

constexpr std::string_view kTableFilter =
    "CSV tables (*.csv)|*.csv|Surfer DAT files (*.dat)|*.dat|All files (*.*)|*.*";

std::string Letter(int column) { return std::string(1, static_cast<char>('A' + column)); }

}  // namespace

void OpenReduceDialog(QWidget* parent, QtPlatform& platform, const SurveyOptions& options) {
  ToolForm form(parent, platform, "reduce_gravity", "Reduce gravity");
  const std::string survey = platform.Text(Control::txt_in);
  QLineEdit* in = form.AddFile("Stations:", "reduce_in", true, "All files (*.*)|*.*");
  in->setText(QString::fromStdString(survey));
  QLineEdit* out = form.AddFile("Table to write:", "reduce_out", false, std::string(kTableFilter));
  if (!survey.empty()) out->setText(QString::fromStdString(ProposedOutputName(survey, "_reduced.csv")));
  GravityTableRequest request;
  request.columns = {Letter(platform.ItemIndex(Control::cmb_gx)),
                     Letter(platform.ItemIndex(Control::cmb_gy)),
                     Letter(platform.ItemIndex(Control::cmb_point)),
                     Letter(platform.ItemIndex(Control::cmb_uba)), Letter(options.height_column)};
  request.crs = options.crs.crs;
  request.reduction = options.reduction;
  auto* columns = new QLabel(
      QString::fromStdString("X " + request.columns[0] + ", Y " + request.columns[1] + ", point " +
                             request.columns[2] + ", gravity " + request.columns[3] + ", height " +
                             request.columns[4] + "; CRS " +
                             (request.crs.empty() ? "none" : request.crs)),
      &form);
  columns->setObjectName("reduce_columns");
  columns->setToolTip("The dialog's column lists (CBA: absolute gravity) and the survey options' "
                      "height column, CRS, density, ellipsoid, free-air gradient and Bullard B");
  form.AddRow("Read:", columns);
  form.Finish([&] {
    request.input = in->text().trimmed().toStdString();
    request.output = out->text().trimmed().toStdString();
    if (request.input.empty() || request.output.empty()) {
      platform.ShowInfo(std::string(request.input.empty() ? "Input" : "Output") +
                        " file name is required field.");
      return false;
    }
    if (request.crs.empty()) {
      platform.ShowInfo(
          "Absolute gravity needs each station's latitude: give the coordinate reference "
          "system of X and Y in the survey options");
      return false;
    }
    if (RefuseFileClash(platform, {{"Stations", request.input}}, {{"Table to write", request.output}})) {
      return false;
    }
    WorkerPlatform worker(platform.DecimalSeparator());
    std::size_t stations = 0;
    return RunInBackground(worker, form.progress(), form.stop(), platform,
                           [&] { return WriteGravityTable(worker, request, {}, stations); });
  });
  form.exec();
}

}  // namespace torvane
