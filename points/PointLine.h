#pragma once
// The line grammar of the point file: which lines hold a point, and the four
// values of such a line. Every reader pass judges lines with
// `ClassifyPointLine`, so all of them accept exactly the same lines.
//
// A line is judged as the reader normalises it: letters in upper case, TAB,
// backspace and (unless ',' is the decimal separator) ',' taken as spaces.
// It holds a point when
//   - it is not empty and does not begin with '/' (a comment);
//   - its first character is no control character and no byte of 128 or more;
//   - it holds no '"' and no "LINE" (headers of line-based formats);
//   - every character up to the first carriage return is a space, '+', '-',
//     a digit, ':', 'E', 'e' or the decimal separator (`IsNumericLine`);
//   - it has at least four tokens (runs of characters other than spaces and
//     carriage returns), the four chosen columns are among them, and each
//     chosen token is a decimal number (`ParsePointLine`).
// Text ends at a NUL byte, as it does for every C string function.

#include <array>
#include <string_view>

namespace torvane {

// Zero-based column numbers ("A" = 0 ... "Z" = 25). A run that reduces
// absolute gravity reads the gravity from the CBA column and the station's
// height from `height`; -1: no height is read.
struct PointColumns {
  int x = 0, y = 1, point = 2, cba = 4;
  int height = -1;
};

struct PointValues {
  double x = 0, y = 0, point = 0, cba = 0, height = 0;
};

inline constexpr int kMaximumColumn = 25;

// What each byte is to the grammar, for one decimal separator.
class PointLineAlphabet {
 public:
  explicit PointLineAlphabet(char decimal_separator);

  enum Kind : unsigned char {
    kNumberChar,  // may stand in a number: digits, signs, ':', E, e, the separator
    kBlank,       // separates tokens: space, TAB, backspace, ',' unless it is the separator
    kReturn,      // a carriage return: separates tokens and ends the character check
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

// The tokens of a line, as far as the chosen columns need them. A token
// that the scan could already convert (a plain decimal) carries its value.
struct PointLineTokens {
  std::array<std::string_view, kMaximumColumn + 1> token;
  std::array<double, kMaximumColumn + 1> value;
  std::array<bool, kMaximumColumn + 1> converted;
  int count = 0;
};

// The character checks of a (raw, not yet normalised) line without its line
// feed: true when every character before the first carriage return may
// belong to a number or separate numbers, and no '"' or "LINE" appears
// anywhere. Collects the first `wanted` tokens on the way.
bool IsNumericLine(std::string_view line, const PointLineAlphabet& alphabet, int wanted,
                   PointLineTokens& tokens);

// Converts the four chosen tokens (five with a height column). Fails with
// fewer than four tokens, with a column that is not among them, or with a
// chosen token that is not a number.
bool ParsePointLine(const PointLineTokens& tokens, const PointColumns& columns,
                    char decimal_separator, PointValues& values);

// Judges one raw line of the file (without its line feed) and gives its
// values when it holds a point.
bool ClassifyPointLine(std::string_view raw_line, const PointColumns& columns,
                       const PointLineAlphabet& alphabet, PointValues& values);

}  // namespace torvane
