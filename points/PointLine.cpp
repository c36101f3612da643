#include "points/PointLine.h"

#include <algorithm>
#include <cstring>

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

constexpr int kMinimumTokens = 4;

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool HoldsLineWord(std::string_view rest) {
  for (std::size_t i = 0; i + 4 <= rest.size(); ++i) {
    if (UpperCase(rest[i]) == 'L' && UpperCase(rest[i + 1]) == 'I' &&
        UpperCase(rest[i + 2]) == 'N' && UpperCase(rest[i + 3]) == 'E') {
      return true;
    }
  }
  return false;
}

// After a carriage return the character check is over: any character but a
// quote may follow, and tokens go on to the end of the text. Before it no
// letter but E passes, so a "LINE" can only stand after it.
bool ScanAfterReturn(std::string_view rest, const PointLineAlphabet& alphabet, int wanted,
                     PointLineTokens& tokens) {
  if (const void* nul = std::memchr(rest.data(), '\0', rest.size())) {
    rest = rest.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - rest.data()));
  }
  if (HoldsLineWord(rest)) return false;
  std::size_t start = 0;
  bool in_token = false;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    const PointLineAlphabet::Kind kind =
        i < rest.size() ? alphabet[rest[i]] : PointLineAlphabet::kReturn;
    if (kind == PointLineAlphabet::kQuote) return false;
    const bool separates = kind == PointLineAlphabet::kBlank || kind == PointLineAlphabet::kReturn;
    if (separates && in_token && tokens.count < wanted) {
      tokens.token[tokens.count++] = rest.substr(start, i - start);
    }
    if (!separates && !in_token) start = i;
    in_token = !separates;
  }
  return true;
}

}  // namespace

PointLineAlphabet::PointLineAlphabet(char decimal_separator)
    : decimal_separator_(decimal_separator) {
  kinds_.fill(kOther);
  for (char c = '0'; c <= '9'; ++c) kinds_[static_cast<unsigned char>(c)] = kNumberChar;
  for (const char c : {'+', '-', ':', 'E', 'e'}) kinds_[static_cast<unsigned char>(c)] = kNumberChar;
  for (const char c : {' ', '\t', '\b', ','}) kinds_[static_cast<unsigned char>(c)] = kBlank;
  kinds_[static_cast<unsigned char>(decimal_separator)] = kNumberChar;
  kinds_['\r'] = kReturn;
  kinds_['\0'] = kNul;
  kinds_['"'] = kQuote;
}

bool IsNumericLine(std::string_view line, const PointLineAlphabet& alphabet, int wanted,
                   PointLineTokens& tokens) {
  tokens.count = 0;
  const std::size_t size = line.size();
  std::size_t i = 0;
  for (;;) {
    while (i < size && alphabet[line[i]] == PointLineAlphabet::kBlank) ++i;
    if (i == size) return true;
    if (alphabet[line[i]] != PointLineAlphabet::kNumberChar) break;
    const std::size_t start = i;
    while (++i < size && alphabet[line[i]] == PointLineAlphabet::kNumberChar) {
    }
    if (tokens.count < wanted) tokens.token[tokens.count++] = line.substr(start, i - start);
  }
  switch (alphabet[line[i]]) {
    case PointLineAlphabet::kNul:
      return true;  // the text ends here
    case PointLineAlphabet::kReturn:
      return ScanAfterReturn(line.substr(i), alphabet, wanted, tokens);
    default:
      return false;  // a quote, a letter other than E, any other character
  }
}

bool ParsePointLine(const PointLineTokens& tokens, const PointColumns& columns,
                    char decimal_separator, PointValues& values) {
  const int highest = std::max({columns.x, columns.y, columns.point, columns.cba});
  if (tokens.count < std::max(highest + 1, kMinimumTokens)) return false;
  if (std::min({columns.x, columns.y, columns.point, columns.cba}) < 0) return false;
  PointValues parsed;
  if (!ParseDecimal(tokens.token[columns.x], decimal_separator, parsed.x) ||
      !ParseDecimal(tokens.token[columns.y], decimal_separator, parsed.y) ||
      !ParseDecimal(tokens.token[columns.point], decimal_separator, parsed.point) ||
      !ParseDecimal(tokens.token[columns.cba], decimal_separator, parsed.cba)) {
    return false;
  }
  values = parsed;
  return true;
}

bool ClassifyPointLine(std::string_view raw_line, const PointColumns& columns,
                       const PointLineAlphabet& alphabet, PointValues& values) {
  if (raw_line.empty() || raw_line.front() == '/') return false;  // blank or comment
  const auto first = static_cast<unsigned char>(raw_line.front());
  // TAB and backspace turn into spaces before the first character is judged;
  // a NUL there leaves an empty text.
  if ((first < 32 && first != '\t' && first != '\b') || first >= 128) return false;

  const int highest = std::max({columns.x, columns.y, columns.point, columns.cba});
  if (highest > kMaximumColumn) return false;
  PointLineTokens tokens;
  if (!IsNumericLine(raw_line, alphabet, std::max(highest + 1, kMinimumTokens), tokens)) {
    return false;
  }
  return ParsePointLine(tokens, columns, alphabet.decimal_separator(), values);
}

}  // namespace torvane
