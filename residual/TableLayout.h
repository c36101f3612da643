#pragma once
// Which table a run writes: the fixed-width table, or CSV when the output's
// name ends in ".csv"; with or without the ring quality columns (GAP,
// SECTORS, SD after N). The fixed-width table without quality is exactly the
// classic residual table.

#include <string>
#include <string_view>

#include "residual/ResidualTable.h"
#include "residual/RingQuality.h"

namespace torvane {

struct TableLayout {
  bool csv = false;
  bool quality = false;
};

// True when `path` ends in ".csv", in any letter case.
bool IsCsvName(std::string_view path);

// The header line, with its line end.
std::string TableHeaderLine(const TableLayout& layout);
// One point's line, with its line end; `quality` is read only with
// layout.quality.
void AppendLayoutRow(const TableLayout& layout, const TableRow& row, const RingQuality& quality,
                     std::string& out);

// CSV: x, y, point and cba, each the shortest text that reads back (the one
// place the point column of a CSV table is written).
void AppendCsvLead(const TableRow& row, std::string& out);
// CSV: a comma and the residual, empty when the point has none.
void AppendCsvResidual(double residual, std::string& out);

}  // namespace torvane
