#include "residual/SweepTable.h"

#include <algorithm>

#include "common/ShortestText.h"

#include "residual/ResidualTable.h"
#include "residual/TableFields.h"
#include "residual/TableLayout.h"

namespace torvane {
namespace {

// The first four names of the residual table's header.
constexpr std::size_t kLeadHeaderSize = 4 * (kFieldWidth + 1) - 1;
constexpr std::string_view kCsvLeadHeader = "x,y,point,cba";

std::string TableHeader(bool csv, const std::vector<SweepColumn>& columns,
                        std::vector<int>& widths) {
  std::string line(csv ? kCsvLeadHeader : kResidualTableHeader.substr(0, kLeadHeaderSize));
  for (const SweepColumn& column : columns) {
    const std::string radius = RadiusName(column.ring.radius);
    if (csv) {
      line += ",residual_" + radius + ",n_" + radius;
      continue;
    }
    const std::string name = "TORVANE_" + radius;
    const int width = std::max(kFieldWidth, static_cast<int>(name.size()));
    widths.push_back(width);
    line += ' ';
    AppendRightAligned(name, width, line);
    line += ' ';
    AppendRightAligned("N_" + radius, width, line);
  }
  line += csv ? "\n" : "\r\n";
  return line;
}

}  // namespace

std::string RadiusName(double radius) { return PlainText(radius); }

bool WriteSweepTable(AtomicFile& file, const std::string& name, const PointSet& points,
                     const std::vector<SweepColumn>& columns) {
  ResidualTableWriter table(file);
  if (!table.ok()) return false;
  const bool csv = IsCsvName(name);
  std::vector<int> widths;
  table.WriteText(TableHeader(csv, columns, widths));
  table.WriteRows(points.points.size(), [&](std::size_t i, std::string& out) {
    const TableRow row = PointTableRow(points, i, 0, 0);
    if (csv) {
      AppendCsvLead(row, out);
      for (const SweepColumn& column : columns) {
        AppendCsvResidual(column.residual[i], out);
        out += ',';
        AppendCount(column.n[i], out);
      }
      out += '\n';
      return;
    }
    AppendTableLead(row, out);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      AppendResidualFields(columns[c].residual[i], columns[c].n[i], widths[c], out);
    }
    out += "\r\n";
  });
  return table.Finish();
}

bool WriteSweepTable(const std::string& path, const PointSet& points,
                     const std::vector<SweepColumn>& columns) {
  AtomicFile file(path);
  return WriteSweepTable(file, path, points, columns) && file.Commit();
}

}  // namespace torvane
