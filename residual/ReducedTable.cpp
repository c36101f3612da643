#include "residual/ReducedTable.h"

#include <algorithm>
#include <array>

#include "residual/ResidualTable.h"
#include "residual/TableFields.h"
#include "residual/TableLayout.h"

namespace torvane {
namespace {

constexpr std::string_view kCsvHeader =
    "x,y,point,gravity,height,normal_gravity,free_air,bouguer\n";
// After X, Y and POINT, each right-aligned in a field as wide as its name
// or 10 characters.
constexpr std::array<std::string_view, 5> kValueNames = {"GRAVITY", "HEIGHT", "NORMAL_GRAVITY",
                                                         "FREE_AIR", "BOUGUER"};

int WidthOf(std::string_view name) {
  return std::max(kFieldWidth, static_cast<int>(name.size()));
}

std::string FixedHeader() {
  std::string line(kResidualTableHeader.substr(0, 3 * (kFieldWidth + 1) - 1));
  for (const std::string_view name : kValueNames) {
    line += ' ';
    AppendRightAligned(name, WidthOf(name), line);
  }
  return line + "\r\n";
}

}  // namespace

bool WriteReducedTable(const std::string& path, const PointSet& points,
                       const ReducedSurvey& reduced, int& error) {
  ResidualTableWriter table(path);
  const bool csv = IsCsvName(path);
  if (table.ok()) {
    table.WriteText(csv ? std::string(kCsvHeader) : FixedHeader());
    table.WriteRows(points.points.size(), [&](std::size_t i, std::string& out) {
      TableRow row = PointTableRow(points, i, 0, 0);
      row.u = reduced.gravity[i];
      const std::array<double, 4> rest = {reduced.height[i], reduced.normal_gravity[i],
                                          reduced.free_air[i], points.points[i].cba};
      if (csv) {
        AppendCsvLead(row, out);
        for (const double value : rest) {
          out += ',';
          AppendShortest(value, out);
        }
        out += '\n';
        return;
      }
      AppendTableLead(row, out);
      for (std::size_t k = 0; k < rest.size(); ++k) {
        out += ' ';
        AppendFixedField(rest[k], 3, WidthOf(kValueNames[k + 1]), out);
      }
      out += "\r\n";
    });
    if (table.Finish()) return true;
  }
  error = table.error();
  return false;
}

}  // namespace torvane
