#pragma once
// The four columns of a run named as the user gave them on the command line:
// each a name of the file's header row (any letter case) or a column letter
// (A = the first column), or '-' for the point (numbered in file order).
// A name of the header wins over a letter, so a file
// whose columns are called "x" and "y" is read by those names.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "points/PointLine.h"

namespace torvane {

// X, Y, point, CBA and the height of a run that reduces absolute gravity
// (whose gravity column stands in the CBA's place); all empty when the
// columns are chosen by position.
using ColumnNames = std::array<std::string, 5>;

inline bool HasColumnNames(const ColumnNames& names) {
  for (const std::string& name : names) {
    if (!name.empty()) return true;
  }
  return false;
}

// Finds each name in `header` (empty when the file has no header row), else
// takes it as a column letter. False when a name is neither; `problem` then
// says which name and what the header holds.
bool ResolveColumnNames(const std::vector<std::string>& header, const ColumnNames& names,
                        PointColumns& columns, std::string& problem);

// The words of a plain point file's header row: the first line that is
// neither blank nor a comment, when it holds no point. Words are separated
// as numbers are on a point line.
std::vector<std::string> PlainHeaderWords(std::string_view line, const PointLineAlphabet& alphabet);

}  // namespace torvane
