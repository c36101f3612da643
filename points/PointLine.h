#pragma once
// The line grammar of the point file: which lines hold a point, and the four
// values of such a line. Every reader pass judges lines with
// `ClassifyPointLine`, so all of them accept exactly the same lines.
//
// A line's fields are separated by spaces, TABs, backspaces, carriage
// returns and (unless ',' is the decimal separator) commas; text ends at a
// NUL byte, as it does for every C string function. A line is data when the
// field of the X column is a number (or NaN or infinity); blank lines,
// comments (a '/' first), lines whose first character is a control
// character or a byte of 128 or more, lines holding '"' or "LINE" in any
// case (headers of line-based formats) and lines without a number in X are
// not. A data line gives a point when it has as many fields as the file's
// data rows (and at least four, three when the points are numbered), and its
// Y and CBA fields are finite numbers; the point field may hold a number or
// a station name. Any other data line is skipped for the reason it gives.

#include <array>
#include <string_view>

#include "points/SkippedRows.h"

namespace torvane {

// The point column '-': the stations are numbered 1, 2, ... in file order.
inline constexpr int kNumberedPoints = -2;

// Zero-based column numbers ("A" = 0 ... "Z" = 25). A run that reduces
// absolute gravity reads the gravity from the CBA column and the station's
// height from `height`; -1: no height is read.
struct PointColumns {
  int x = 0, y = 1, point = 2, cba = 4;
  int height = -1;
};

struct PointValues {
  double x = 0, y = 0, point = 0, cba = 0, height = 0;
  std::string_view label;   // the point field as written
  bool text_label = false;  // the point field is no number
  int fields = 0;           // of the line
};

inline constexpr int kMaximumColumn = 25;

// What each byte is to the grammar, for one decimal separator.
class PointLineAlphabet {
 public:
  explicit PointLineAlphabet(char decimal_separator);

  enum Kind : unsigned char {
    kNumberChar,  // may stand in a number: digits, signs, ':', E, e, the separator
    kBlank,       // separates fields: space, TAB, backspace, CR, ',' unless it is the separator
    kQuote,       // '"'
    kNul,         // ends the text, as for every C string function
    kOther,       // anything else
  };
  Kind operator[](char c) const { return kinds_[static_cast<unsigned char>(c)]; }
  char decimal_separator() const { return decimal_separator_; }

 private:
  std::array<Kind, 256> kinds_{};
  char decimal_separator_;
};

// How the data lines of one file are judged.
struct PointLineRules {
  PointColumns columns;
  PointLineAlphabet alphabet{'.'};
  int fields = 0;  // the number of fields of the file's data rows; 0: any
  // Lines with ',' between digits in fields separated by spaces are
  // skipped, not read as extra columns ('.' is the separator, but the file
  // seems to write ',').
  bool refuse_comma_decimals = false;
};

// Judges one raw line of the file (without its line feed) and gives its
// values when it holds a point (and its number of fields when it is data).
RowVerdict ClassifyPointLine(std::string_view raw_line, const PointLineRules& rules,
                             PointValues& values);

// Whether a raw line seems to write decimals with ',': it holds no '.', a
// ',' between two digits, and fields separated by spaces or TABs.
bool HoldsCommaDecimals(std::string_view raw_line);
// Whether it holds a '.' between two digits.
bool HoldsPointDecimals(std::string_view raw_line);

}  // namespace torvane
