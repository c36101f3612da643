#pragma once
// The text of the ASCII grid formats: header lines of a keyword or numbers,
// converted with the decimal separator of the user's locale, and node values
// as C's scanf reads them, always with '.'.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
//
// ReadNodeValues reads the first `count` of them side by side on the
// worker threads, calling visit(i, value) for value i (from 0, in no set
// order, from several threads at once). It answers how many were read in a
// row from the start before the text ended or a token was no number:
// values visited at that index or beyond are not the file's, and the
// caller discards them.
template <typename Number, typename Visit>
std::uint64_t ReadNodeValues(std::string_view text, std::uint64_t count, Visit&& visit);

// The pieces of the text the threads read: each ends at white space, so
// that no token is cut. The same text always gives the same pieces.
std::vector<std::string_view> NodePieces(std::string_view text);
// The number of tokens in a piece.
std::uint64_t CountNodeTokens(std::string_view piece);
// Reads the tokens of a piece one by one.
class NodeTokens {
 public:
  explicit NodeTokens(std::string_view text) : text_(text) {}
  // False at the end of the text or at a token that is not a number.
  bool Next(float& value);
  bool Next(double& value);

 private:
  bool NextToken(std::string_view& token);

  std::string_view text_;
  std::size_t position_ = 0;
};

template <typename Number, typename Visit>
std::uint64_t ReadNodeValues(std::string_view text, std::uint64_t count, Visit&& visit) {
  const std::vector<std::string_view> pieces = NodePieces(text);
  const auto n = static_cast<std::int64_t>(pieces.size());
  std::vector<std::uint64_t> first(pieces.size() + 1, 0);
#pragma omp parallel for schedule(dynamic) if (n > 1)
  for (std::int64_t k = 0; k < n; ++k) {
    first[static_cast<std::size_t>(k) + 1] = CountNodeTokens(pieces[static_cast<std::size_t>(k)]);
  }
  for (std::size_t k = 1; k < first.size(); ++k) first[k] += first[k - 1];
  // Where each piece met a token that is no number, if it did.
  std::vector<std::uint64_t> stopped(pieces.size(), UINT64_MAX);
#pragma omp parallel for schedule(dynamic) if (n > 1)
  for (std::int64_t k = 0; k < n; ++k) {
    const auto piece = static_cast<std::size_t>(k);
    NodeTokens tokens(pieces[piece]);
    for (std::uint64_t i = first[piece]; i < std::min(first[piece + 1], count); ++i) {
      Number value = 0;
      if (!tokens.Next(value)) {
        stopped[piece] = i;
        break;
      }
      visit(i, value);
    }
  }
  std::uint64_t read = std::min(first.back(), count);
  for (const std::uint64_t stop : stopped) read = std::min(read, stop);
  return read;
}

}  // namespace torvane
