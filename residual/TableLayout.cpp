#include "residual/TableLayout.h"

#include <cmath>

#include "residual/TableFields.h"

namespace torvane {
namespace {

constexpr std::string_view kQualityNames[] = {"GAP", "SECTORS", "SD"};
constexpr std::string_view kCsvHeader = "x,y,point,cba,residual,n";

// A station name as a CSV field: in double quotes (a quote doubled) when it
// holds the separator, a quote or a line end, as it is otherwise.
void AppendCsvText(std::string_view text, std::string& out) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}
constexpr std::string_view kCsvQualityHeader = ",gap,sectors,sd";

void AppendQualityFields(const RingQuality& quality, std::string& out) {
  out += ' ';
  AppendFixedField(quality.gap, 1, kFieldWidth, out);
  out += ' ';
  AppendCountField(quality.sectors, kFieldWidth, out);
  out += ' ';
  AppendFixedField(quality.sd, 6, kFieldWidth, out);
}

void AppendCsvQuality(const RingQuality& quality, std::string& out) {
  out += ',';
  AppendShortest(quality.gap, out);
  out += ',';
  AppendCount(quality.sectors, out);
  out += ',';
  AppendShortest(quality.sd, out);
}

}  // namespace

bool IsCsvName(std::string_view path) {
  constexpr std::string_view kExtension = ".csv";
  if (path.size() < kExtension.size()) return false;
  const std::string_view end = path.substr(path.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    const char c = end[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kExtension[i]) {
      return false;
    }
  }
  return true;
}

std::string TableHeaderLine(const TableLayout& layout) {
  std::string line;
  if (layout.csv) {
    line = kCsvHeader;
    if (layout.quality) line += kCsvQualityHeader;
    line += '\n';
    return line;
  }
  line = kResidualTableHeader;
  if (layout.quality) {
    for (const std::string_view name : kQualityNames) {
      line += ' ';
      AppendRightAligned(name, kFieldWidth, line);
    }
  }
  line += "\r\n";
  return line;
}

void AppendCsvLead(const TableRow& row, std::string& out) {
  AppendShortest(row.x, out);
  out += ',';
  AppendShortest(row.y, out);
  out += ',';
  if (row.labelled) {
    AppendCsvText(row.label, out);
  } else {
    AppendShortest(row.point, out);
  }
  out += ',';
  AppendShortest(row.u, out);
}

void AppendCsvResidual(double residual, std::string& out) {
  out += ',';
  AppendShortestOrEmpty(residual, out);
}

void AppendLayoutRow(const TableLayout& layout, const TableRow& row, const RingQuality& quality,
                     std::string& out) {
  if (layout.csv) {
    AppendCsvLead(row, out);
    AppendCsvResidual(row.residual, out);
    out += ',';
    AppendCount(row.n, out);
    if (layout.quality) AppendCsvQuality(quality, out);
    out += '\n';
    return;
  }
  if (!layout.quality) {
    AppendTableRow(row, out);
    return;
  }
  AppendTableFields(row, out);
  AppendQualityFields(quality, out);
  out += "\r\n";
}

}  // namespace torvane
