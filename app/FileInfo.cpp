#include "app/FileInfo.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/MemoryPlatform.h"
#include "grid/GridFormat.h"
#include "grid/ReadGridValues.h"
#include "points/CoordinateSystem.h"
#include "points/SkippedRows.h"
#include "points/StationSpacing.h"

namespace torvane {
namespace {

// Keeps what a grid reader says instead of printing it: a file that is no
// grid is tried as a point file next.
class KeptMessages : public MemoryPlatform {
 public:
  using MemoryPlatform::MemoryPlatform;
  void ShowInfo(std::string_view text) override { Keep(text); }
  MessageResult ShowMessage(std::string_view text, std::string_view, MessageButtons) override {
    Keep(text);
    return MessageResult::kNo;
  }
  void ShowFileError(std::string_view text, std::string_view, int, std::string_view) override {
    Keep(text);
  }
  // What a grid reader that knew the file's format said about it.
  std::vector<std::string> about_a_grid;

 private:
  void Keep(std::string_view text) {
    const bool no_grid = text.find("Unknown grid file format") != std::string_view::npos ||
                         text.find("Error by opening file") != std::string_view::npos;
    if (!no_grid) about_a_grid.emplace_back(text);
  }
};

// The format table's name ("gdal" for a raster only GDAL reads), "none".
std::string FormatName(const GridFormat* format) {
  return format != nullptr ? std::string(format->name) : "none";
}

void AddCrs(InfoReport& report, const std::string& key, const std::string& label,
            const std::string& crs) {
  if (crs.empty()) return report.Null(key, label, "none given");
  const CrsName name = NameCrs(crs);
  report.Begin(key, label, CrsTitle(crs));
  if (name.code.empty()) {
    report.Null("code", "code", "-");
  } else {
    report.Text("code", "code", name.code);
  }
  report.Text("name", "name", name.name);
  report.Text("wkt", "WKT", CrsWkt(crs));
  report.End();
}

void AddStatistics(InfoReport& report, const std::vector<double>& values) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  double sum = 0;
  for (const double v : values) {
    low = std::min(low, v);
    high = std::max(high, v);
    sum += v;
  }
  const double n = static_cast<double>(values.size());
  const double mean = values.empty() ? std::numeric_limits<double>::quiet_NaN() : sum / n;
  double squares = 0;
  for (const double v : values) squares += (v - mean) * (v - mean);
  report.Number("min", "min", values.empty() ? mean : low);
  report.Number("max", "max", values.empty() ? mean : high);
  report.Number("mean", "mean", mean);
  report.Number("sd", "SD", values.size() < 2 ? 0.0 : std::sqrt(squares / (n - 1)));
}

void ReportGrid(InfoReport& report, const GridValues& grid, const GridFormat* format) {
  report.Text("kind", "Kind", "grid");
  report.Text("format", "Format", FormatName(format));
  report.Number("columns", "Columns", grid.ncols);
  report.Number("rows", "Rows", grid.nrows);
  report.Number("dx", "Spacing x", grid.dx);
  report.Number("dy", "Spacing y", grid.dy);
  report.Number("xmin", "West node", grid.xmin);
  report.Number("xmax", "East node", grid.xmax());
  report.Number("ymin", "South node", grid.ymin);
  report.Number("ymax", "North node", grid.ymax());
  std::vector<double> values;
  values.reserve(grid.nodes.size());
  for (const float node : grid.nodes) {
    if (!IsBlank(node)) values.push_back(node);
  }
  report.Number("nodes", "Nodes", static_cast<double>(grid.nodes.size()));
  report.Number("blanks", "Blank nodes", static_cast<double>(grid.nodes.size() - values.size()));
  AddCrs(report, "crs", "CRS", grid.crs);
  report.Text("variable", "Variable", grid.variable);
  if (grid.units.empty()) {
    report.Null("units", "Units", "not given");
  } else {
    report.Text("units", "Units", grid.units);
  }
  report.Begin("values", "Values");
  AddStatistics(report, values);
  report.End();
}

void ReportPoints(InfoReport& report, const PointSet& points, const std::string& crs,
                  const std::string& work_crs) {
  report.Text("kind", "Kind", "points");
  const std::size_t n = points.points.size();
  report.Number("points", "Stations", static_cast<double>(n));
  // Rows that looked like data but gave no station, with why and where.
  report.Number("skipped", "Skipped rows", static_cast<double>(points.skipped.Total()));
  if (points.skipped.Total() > 0) {
    report.Text("skipped_reasons", "Skipped", SkippedRowsText(points.skipped));
  }
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0, x1 = -x0, y1 = -x0;
  std::vector<double> cba(n);
  for (std::size_t i = 0; i < n; ++i) {
    x0 = std::min(x0, points.FileX(i));
    x1 = std::max(x1, points.FileX(i));
    y0 = std::min(y0, points.FileY(i));
    y1 = std::max(y1, points.FileY(i));
    cba[i] = points.points[i].cba;
  }
  report.Number("xmin", "West", x0);
  report.Number("xmax", "East", x1);
  report.Number("ymin", "South", y0);
  report.Number("ymax", "North", y1);
  AddCrs(report, "crs", "CRS", crs);
  if (!work_crs.empty() && work_crs != crs) AddCrs(report, "work_crs", "Work CRS", work_crs);
  report.Begin("cba", "CBA");
  AddStatistics(report, cba);
  report.End();
  report.Number("median_spacing", "Median spacing",
                MedianNearestSpacing(points));
}

}  // namespace

bool DescribeFile(Reporter& reporter, const StationSource& source, InfoReport& report,
                  std::vector<std::string>& about_a_grid) {
  report.Text("file", "File", source.path);
  GridValues grid;
  const GridFormat* format = nullptr;
  KeptMessages grid_messages(reporter.DecimalSeparator());
  if (ReadGridValues(grid_messages, source.path, grid, &format)) {
    ReportGrid(report, grid, format);
    return true;
  }
  if (!grid_messages.about_a_grid.empty()) {
    about_a_grid = std::move(grid_messages.about_a_grid);
    return false;
  }
  StationSource stations = source;
  stations.keep_file_coordinates = true;
  PointSet points;
  std::string work_crs;
  if (!ReadStations(reporter, stations, points, work_crs)) return false;
  ReportPoints(report, points, source.crs.crs, work_crs);
  return true;
}

}  // namespace torvane
