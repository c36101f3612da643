#pragma once
// Tells what a read of the point file passed over: the rows skipped, with
// their reasons and first lines, and ',' decimals where '.' was read. Said
// on stderr even with --quiet: rows that vanish would misalign any table
// joined to the stations by position.

#include <string_view>

#include "points/SkippedRows.h"

namespace torvane {

void PrintSkippedRows(const SkippedRows& skipped, std::string_view path);

}  // namespace torvane
