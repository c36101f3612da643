#pragma once
// The line grammar of the point file: which lines hold a point, and the four
// values of such a line. Both passes of the reader judge lines with
// `ClassifyPointLine`, so they accept exactly the same lines.

#include <string>
#include <string_view>

namespace torvane {

// Zero-based column numbers ("A" = 0 ... "Z" = 25).
struct PointColumns {
  int x = 0, y = 1, point = 2, cba = 4;
};

struct PointValues {
  double x = 0, y = 0, point = 0, cba = 0;
};

// True when every character up to the first NUL, CR or LF is a space, '+',
// '-', a digit, ':', 'E', 'e' or the decimal separator.
bool IsNumericLine(std::string_view normalised_line, char decimal_separator);

// Splits a normalised line into tokens (runs of characters other than space,
// CR and LF) and converts the four chosen ones. Fails with fewer than four
// tokens, with a column beyond the last token, or with a chosen token that is
// not a number.
bool ParsePointLine(std::string_view normalised_line, const PointColumns& columns,
                    char decimal_separator, PointValues& values);

// Judges one raw line of the file (without its line end) and gives its values
// when it holds a point. `scratch` is a buffer reused from line to line.
bool ClassifyPointLine(std::string_view raw_line, const PointColumns& columns,
                       char decimal_separator, std::string& scratch, PointValues& values);

}  // namespace torvane
