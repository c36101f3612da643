#pragma once
// What a plain point file's first lines say about all of it: the decimal
// separator its numbers use, its header row of names, and how many fields
// its data rows have. Judged from the first block of the file, so that every
// line of it can then be judged alone (and side by side).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "points/PointLine.h"

namespace torvane {

struct PlainLayout {
  // '.' where the file writes '.' decimals (more lines with '.' between
  // digits than lines that seem to write ','), whatever was wished; ','
  // where ',' was wished and the file does not.
  char decimal = '.';
  // '.' was wished but the file seems to write ',': its first such line.
  std::uint64_t comma_line = 0;
  std::string comma_text;
  // The words of the header row: the first line that is neither blank, a
  // comment nor data; empty when there is none.
  std::vector<std::string> header;
};

// `head` is the file's first block of whole lines; `wished` the separator
// the locale or the user gives.
PlainLayout FindPlainLayout(std::string_view head, char wished);

// The number of fields most of the first rows of `head` that would give a
// point have (the first one seen of equally common counts); 0 when none
// would.
int DataFieldCount(std::string_view head, const PointLineRules& rules);

}  // namespace torvane
