#include "grid/GridText.h"

#include <omp.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

bool IsHeaderSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The first two tokens of a header line; answers how many were found.
int SplitHeaderLine(std::string_view line, std::string_view (&tokens)[2]) {
  std::size_t i = 0;
  int found = 0;
  while (found < 2) {
    while (i < line.size() && IsHeaderSeparator(line[i])) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    char quote = 0;
    for (; i < line.size(); ++i) {
      const char c = line[i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (IsHeaderSeparator(c)) {
        break;
      } else if (c == '\'' || c == '"') {
        quote = c;
      }
    }
    tokens[found++] = line.substr(start, i - start);
  }
  return found;
}

// scanf takes a leading '+', from_chars does not.
std::string_view WithoutPlus(std::string_view token) {
  if (token.size() > 1 && token[0] == '+' && token[1] != '-' && token[1] != '+') {
    token.remove_prefix(1);
  }
  return token;
}

enum class ParseResult { kNumber, kOutOfRange, kNotANumber };

template <typename Number>
ParseResult ParseWhole(std::string_view token, Number& value) {
  const char* end = token.data() + token.size();
  const auto [stop, error] = std::from_chars(token.data(), end, value);
  if (stop != end) return ParseResult::kNotANumber;
  if (error == std::errc::result_out_of_range) return ParseResult::kOutOfRange;
  return error == std::errc() ? ParseResult::kNumber : ParseResult::kNotANumber;
}

// A token beyond the double range: infinity when it is too large in
// magnitude, 0 when too small (only a negative exponent makes it so).
double BeyondDoubleRange(std::string_view token) {
  const std::size_t exponent = token.find_first_of("eE");
  const bool tiny = exponent != std::string_view::npos && exponent + 1 < token.size() &&
                    token[exponent + 1] == '-';
  const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  return token[0] == '-' ? -magnitude : magnitude;
}

bool ParseNodeDouble(std::string_view token, double& value) {
  double parsed = 0;
  switch (ParseWhole(token, parsed)) {
    case ParseResult::kNumber:
      value = parsed;
      return true;
    case ParseResult::kOutOfRange:
      value = BeyondDoubleRange(token);
      return true;
    case ParseResult::kNotANumber:
      break;
  }
  return false;
}

bool ParseNodeFloat(std::string_view token, float& value) {
  // A float parsed directly is rounded once, as scanf("%f") rounds it.
  float parsed = 0;
  const ParseResult result = ParseWhole(token, parsed);
  if (result == ParseResult::kNumber) {
    value = parsed;
    return true;
  }
  double wide = 0;
  if (result == ParseResult::kNotANumber || !ParseNodeDouble(token, wide)) return false;
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (wide > kLargest || wide < -kLargest) {
    value = wide > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
  } else {
    value = static_cast<float>(wide);
  }
  return true;
}

}  // namespace

bool TextLines::Next(std::string_view& line) {
  if (position_ >= text_.size()) return false;
  std::size_t end = text_.find('\n', position_);
  const std::size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  if (end > position_ && text_[end - 1] == '\r') --end;
  line = text_.substr(position_, end - position_);
  position_ = next;
  return true;
}

bool ParseKeywordLine(std::string_view line, char decimal_separator, std::string_view& keyword,
                      double& value) {
  std::string_view tokens[2];
  if (SplitHeaderLine(line, tokens) < 2) return false;
  if (!ParseDecimal(tokens[1], decimal_separator, value)) return false;
  keyword = tokens[0];
  return true;
}

bool ParseNumberPair(std::string_view line, char decimal_separator, double& first,
                     double& second) {
  std::string_view tokens[2];
  if (SplitHeaderLine(line, tokens) < 2) return false;
  return ParseDecimal(tokens[0], decimal_separator, first) &&
         ParseDecimal(tokens[1], decimal_separator, second);
}

std::vector<std::string_view> NodePieces(std::string_view text) {
  // Pieces of about 1 MB, a few per thread at least, so that threads that
  // finish early take more.
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  const std::size_t threads = static_cast<std::size_t>(std::max(1, omp_get_max_threads()));
  const std::size_t size = std::max(kPiece, text.size() / (8 * threads) + 1);
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = std::min(text.size(), start + size);
    while (end < text.size() && !IsWhiteSpace(text[end])) ++end;
    pieces.push_back(text.substr(start, end - start));
    start = end;
  }
  return pieces;
}

std::uint64_t CountNodeTokens(std::string_view piece) {
  std::uint64_t tokens = 0;
  bool before_space = true;  // a piece starts after white space or at the text's start
  for (const char c : piece) {
    const bool space = IsWhiteSpace(c);
    tokens += static_cast<std::uint64_t>(before_space & !space);
    before_space = space;
  }
  return tokens;
}

bool NodeTokens::NextToken(std::string_view& token) {
  while (position_ < text_.size() && IsWhiteSpace(text_[position_])) ++position_;
  if (position_ == text_.size()) return false;
  const std::size_t start = position_;
  while (position_ < text_.size() && !IsWhiteSpace(text_[position_])) ++position_;
  token = text_.substr(start, position_ - start);
  return true;
}

bool NodeTokens::Next(float& value) {
  std::string_view token;
  if (!NextToken(token)) return false;
  return ParseNodeFloat(WithoutPlus(token), value);
}

bool NodeTokens::Next(double& value) {
  std::string_view token;
  return NextToken(token) && ParseNodeDouble(WithoutPlus(token), value);
}

}  // namespace torvane
