#include "points/PointLine.h"

#include <algorithm>

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

constexpr int kMinimumFields = 4;
constexpr int kKeptFields = kMaximumColumn + 1;

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HoldsLineWord(std::string_view text) {
  for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
    if (UpperCase(text[i]) == 'L' && UpperCase(text[i + 1]) == 'I' &&
        UpperCase(text[i + 2]) == 'N' && UpperCase(text[i + 3]) == 'E') {
      return true;
    }
  }
  return false;
}

// NaN and infinity as C libraries write them, in any case.
bool IsNonFiniteWord(std::string_view token) {
  if (!token.empty() && (token.front() == '+' || token.front() == '-')) token.remove_prefix(1);
  if (token.size() != 3 && token.size() != 8) return false;
  std::array<char, 8> upper{};
  for (std::size_t i = 0; i < token.size(); ++i) upper[i] = UpperCase(token[i]);
  const std::string_view word(upper.data(), token.size());
  return word == "NAN" || word == "INF" || word == "INFINITY";
}

// The fields of a line: the first kKeptFields kept, with the value of those
// that the scan could already convert (a plain decimal, the common case),
// and all of them counted.
struct LineFields {
  std::array<std::string_view, kKeptFields> field;
  std::array<double, kKeptFields> value;
  std::array<bool, kKeptFields> converted;
  int count = 0;
  bool other = false;  // some character that stands in no number
  bool quote = false;
};

void SplitFields(std::string_view line, const PointLineAlphabet& alphabet, LineFields& fields) {
  const std::size_t size = line.size();
  std::size_t i = 0;
  for (;;) {
    while (i < size && alphabet[line[i]] == PointLineAlphabet::kBlank) ++i;
    if (i == size || alphabet[line[i]] == PointLineAlphabet::kNul) return;
    const std::size_t start = i;
    PlainDecimalDigits digits(alphabet.decimal_separator());
    const bool negative = line[i] == '-';
    bool numeric = true;
    for (; i < size; ++i) {
      const char c = line[i];
      const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
      if (digit < 10) {
        digits.TakeDigit(digit);
        continue;
      }
      const PointLineAlphabet::Kind kind = alphabet[c];
      if (kind == PointLineAlphabet::kNumberChar) {
        if (i != start || (c != '-' && c != '+')) digits.TakeOther(c);
      } else if (kind == PointLineAlphabet::kBlank || kind == PointLineAlphabet::kNul) {
        break;
      } else {
        numeric = false;
        fields.other = true;
        fields.quote |= kind == PointLineAlphabet::kQuote;
      }
    }
    if (fields.count < kKeptFields) {
      const auto k = static_cast<std::size_t>(fields.count);
      double magnitude = 0;
      fields.converted[k] = numeric && digits.Magnitude(magnitude);
      fields.value[k] = negative ? -magnitude : magnitude;
      fields.field[k] = line.substr(start, i - start);
    }
    ++fields.count;
  }
}

enum class Number { kFinite, kNonFinite, kText };

Number Convert(const LineFields& fields, int column, char separator, double& value) {
  const auto k = static_cast<std::size_t>(column);
  if (fields.converted[k]) {
    value = fields.value[k];
    return Number::kFinite;
  }
  const std::string_view field = fields.field[k];
  if (ParseDecimal(field, separator, value)) return Number::kFinite;
  return IsNonFiniteWord(field) || IsDecimalBeyondRange(field, separator) ? Number::kNonFinite
                                                                          : Number::kText;
}

}  // namespace

PointLineAlphabet::PointLineAlphabet(char decimal_separator)
    : decimal_separator_(decimal_separator) {
  kinds_.fill(kOther);
  for (char c = '0'; c <= '9'; ++c) kinds_[static_cast<unsigned char>(c)] = kNumberChar;
  for (const char c : {'+', '-', ':', 'E', 'e'}) kinds_[static_cast<unsigned char>(c)] = kNumberChar;
  for (const char c : {' ', '\t', '\b', ',', '\r'}) kinds_[static_cast<unsigned char>(c)] = kBlank;
  kinds_[static_cast<unsigned char>(decimal_separator)] = kNumberChar;
  kinds_['\0'] = kNul;
  kinds_['"'] = kQuote;
}

RowVerdict ClassifyPointLine(std::string_view raw_line, const PointLineRules& rules,
                             PointValues& values) {
  if (raw_line.empty() || raw_line.front() == '/') return RowVerdict::kNotData;
  const auto first = static_cast<unsigned char>(raw_line.front());
  // TAB and backspace separate fields; any other control character or a
  // byte of 128 or more first makes the line no data.
  if ((first < 32 && first != '\t' && first != '\b') || first >= 128) return RowVerdict::kNotData;

  const PointColumns& columns = rules.columns;
  const char separator = rules.alphabet.decimal_separator();
  LineFields fields;
  SplitFields(raw_line, rules.alphabet, fields);
  if (fields.quote) return RowVerdict::kNotData;
  if (fields.other) {
    const std::size_t nul = raw_line.find('\0');
    if (HoldsLineWord(raw_line.substr(0, nul))) return RowVerdict::kNotData;
  }
  if (columns.x < 0 || columns.x >= fields.count || columns.x > kMaximumColumn) {
    return RowVerdict::kNotData;
  }
  PointValues parsed;
  const Number x = Convert(fields, columns.x, separator, parsed.x);
  if (x == Number::kText) return RowVerdict::kNotData;
  values.fields = fields.count;

  if (rules.refuse_comma_decimals && HoldsCommaDecimals(raw_line)) {
    return RowVerdict::kCommaDecimals;
  }
  const bool numbered = columns.point == kNumberedPoints;
  if ((rules.fields > 0 && fields.count != rules.fields) ||
      fields.count < kMinimumFields - (numbered ? 1 : 0)) {
    return RowVerdict::kFieldCount;
  }
  const auto present = [&](int column) {
    return column >= 0 && column < fields.count && column <= kMaximumColumn;
  };
  const bool height = columns.height >= 0;
  if (!present(columns.y)) return RowVerdict::kNoY;
  if (!present(columns.cba)) return RowVerdict::kNoCba;
  if (!numbered && !present(columns.point)) return RowVerdict::kNoPoint;
  if (height && !present(columns.height)) return RowVerdict::kNoHeight;
  if (x == Number::kNonFinite) return RowVerdict::kNotFinite;
  switch (Convert(fields, columns.y, separator, parsed.y)) {
    case Number::kFinite: break;
    case Number::kNonFinite: return RowVerdict::kNotFinite;
    case Number::kText: return RowVerdict::kYNotNumber;
  }
  switch (Convert(fields, columns.cba, separator, parsed.cba)) {
    case Number::kFinite: break;
    case Number::kNonFinite: return RowVerdict::kNotFinite;
    case Number::kText: return RowVerdict::kCbaNotNumber;
  }
  if (height) {
    switch (Convert(fields, columns.height, separator, parsed.height)) {
      case Number::kFinite: break;
      case Number::kNonFinite: return RowVerdict::kNotFinite;
      case Number::kText: return RowVerdict::kHeightNotNumber;
    }
  }
  if (!numbered) {
    parsed.label = fields.field[static_cast<std::size_t>(columns.point)];
    if (Convert(fields, columns.point, separator, parsed.point) != Number::kFinite) {
      parsed.point = 0;
      parsed.text_label = true;
    }
  }
  parsed.fields = fields.count;
  values = parsed;
  return RowVerdict::kPoint;
}

bool HoldsCommaDecimals(std::string_view raw_line) {
  if (raw_line.find('.') != std::string_view::npos) return false;
  bool comma = false;
  for (std::size_t i = 1; i + 1 < raw_line.size() && !comma; ++i) {
    comma = raw_line[i] == ',' && IsDigit(raw_line[i - 1]) && IsDigit(raw_line[i + 1]);
  }
  if (!comma) return false;
  const std::size_t start = raw_line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  const std::size_t gap = raw_line.find_first_of(" \t", start);
  return gap != std::string_view::npos && raw_line.find_first_not_of(" \t\r", gap) != std::string_view::npos;
}

bool HoldsPointDecimals(std::string_view raw_line) {
  for (std::size_t i = 1; i + 1 < raw_line.size(); ++i) {
    if (raw_line[i] == '.' && IsDigit(raw_line[i - 1]) && IsDigit(raw_line[i + 1])) return true;
  }
  return false;
}

}  // namespace torvane
