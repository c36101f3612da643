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
      tokens.converted[tokens.count] = false;
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
    // The token's characters, converted on the way when they make a plain
    // decimal number (the common case), so that most need no second look.
    const std::size_t start = i;
    PlainDecimalDigits digits(alphabet.decimal_separator());
    const bool negative = line[i] == '-';
    if (!negative && line[i] != '+') digits.Take(line[i]);
    while (++i < size) {
      const char c = line[i];
      const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
      if (digit < 10) {
        digits.TakeDigit(digit);
      } else if (alphabet[c] == PointLineAlphabet::kNumberChar) {
        digits.TakeOther(c);
      } else {
        break;
      }
    }
    if (tokens.count < wanted) {
      double magnitude = 0;
      tokens.converted[tokens.count] = digits.Magnitude(magnitude);
      tokens.value[tokens.count] = negative ? -magnitude : magnitude;
      tokens.token[tokens.count++] = line.substr(start, i - start);
    }
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
  const int highest = std::max({columns.x, columns.y, columns.point, columns.cba, columns.height});
  if (tokens.count < std::max(highest + 1, kMinimumTokens)) return false;
  if (std::min({columns.x, columns.y, columns.point, columns.cba}) < 0) return false;
  const auto convert = [&](int column, double& value) {
    const auto k = static_cast<std::size_t>(column);
    if (!tokens.converted[k]) return ParseDecimal(tokens.token[k], decimal_separator, value);
    value = tokens.value[k];
    return true;
  };
  PointValues parsed;
  if (!convert(columns.x, parsed.x) || !convert(columns.y, parsed.y) ||
      !convert(columns.point, parsed.point) || !convert(columns.cba, parsed.cba) ||
      (columns.height >= 0 && !convert(columns.height, parsed.height))) {
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

  const int highest = std::max({columns.x, columns.y, columns.point, columns.cba, columns.height});
  if (highest > kMaximumColumn) return false;
  PointLineTokens tokens;
  if (!IsNumericLine(raw_line, alphabet, std::max(highest + 1, kMinimumTokens), tokens)) {
    return false;
  }
  return ParsePointLine(tokens, columns, alphabet.decimal_separator(), values);
}

}  // namespace torvane
