#pragma once
// The text of the ASCII grid formats: header lines of a keyword or numbers,
// converted with the decimal separator of the user's locale, and node values
// as C's scanf reads them, always with '.'.

#include <cstddef>
#include <string_view>

namespace torvane {

// Splits a text into lines; a line ends at LF, and a CR before it is dropped.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}
  // False at the end of the text.
  bool Next(std::string_view& line);
  // The text after the lines taken so far.
  std::string_view rest() const { return text_.substr(position_); }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// A header line of a keyword and a number ("cellsize 0.5"), or of two
// numbers ("100 250"). The line is split at spaces: leading spaces are
// skipped, a run of spaces is one separator, CR and LF end a token, a tab is
// an ordinary character, and a ' or " opens a quoted stretch, up to the same
// quote, in which spaces do not separate. Tokens after the second are
// ignored. False when there are fewer than two tokens or a number is not one.
bool ParseKeywordLine(std::string_view line, char decimal_separator, std::string_view& keyword,
                      double& value);
bool ParseNumberPair(std::string_view line, char decimal_separator, double& first,
                     double& second);

// The node values after a header: numbers separated by any white space,
// line breaks anywhere. A value beyond the range of its type reads as
// infinity (blank for the grid), one too small as 0.
class NodeTokens {
 public:
  explicit NodeTokens(std::string_view text) : text_(text) {}
  // False at the end of the text or at a token that is not a number.
  bool NextFloat(float& value);
  bool NextDouble(double& value);

 private:
  bool NextToken(std::string_view& token);

  std::string_view text_;
  std::size_t position_ = 0;
};

}  // namespace torvane
