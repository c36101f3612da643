#include "app/InfoReport.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace torvane {
namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The shortest text that reads back as `value`: plain decimals for people
// (100000, not 1e+05) unless the value is tiny or huge.
std::string Shortest(double value, bool plain) {
  char text[400];
  const double size = std::fabs(value);
  const bool fixed = plain && (size == 0 || (size >= 1e-4 && size < 1e15));
  const auto result = fixed ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                            : std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace

void InfoReport::Text(std::string key, std::string label, std::string value) {
  fields_.push_back({Kind::kText, std::move(key), std::move(label), std::move(value), 0});
}

void InfoReport::Number(std::string key, std::string label, double value) {
  if (!std::isfinite(value)) return Null(std::move(key), std::move(label), "-");
  fields_.push_back({Kind::kNumber, std::move(key), std::move(label), {}, value});
}

void InfoReport::Null(std::string key, std::string label, std::string shown) {
  fields_.push_back({Kind::kNull, std::move(key), std::move(label), std::move(shown), 0});
}

void InfoReport::Begin(std::string key, std::string label, std::string shown) {
  fields_.push_back({Kind::kBegin, std::move(key), std::move(label), std::move(shown), 0});
}

void InfoReport::End() { fields_.push_back({Kind::kEnd, {}, {}, {}, 0}); }

std::string InfoReport::Lines() const {
  std::size_t width = 0;
  for (const Field& field : fields_) width = std::max(width, field.label.size() + 2);
  width = std::min<std::size_t>(width, 24);
  std::string out;
  std::string indent;
  int hidden = 0;  // depth inside objects shown on one line
  for (const Field& field : fields_) {
    if (field.kind == Kind::kEnd) {
      if (hidden > 0) {
        --hidden;
      } else {
        indent.resize(indent.size() - 2);
      }
      continue;
    }
    if (hidden > 0) {
      hidden += field.kind == Kind::kBegin;
      continue;
    }
    std::string line = indent + field.label + ":";
    if (field.kind == Kind::kBegin && field.value.empty()) {
      out += line + "\n";
      indent += "  ";
      continue;
    }
    hidden = field.kind == Kind::kBegin;
    line.resize(std::max(line.size() + 1, width + 2), ' ');
    const std::string value =
        field.kind == Kind::kNumber ? Shortest(field.number, true) : field.value;
    out += line + value + "\n";
  }
  return out;
}

std::string InfoReport::Json() const {
  std::string out = "{";
  bool first = true;
  for (const Field& field : fields_) {
    if (field.kind == Kind::kEnd) {
      out += "}";
      first = false;
      continue;
    }
    if (!first) out += ", ";
    first = false;
    out += JsonString(field.key) + ": ";
    switch (field.kind) {
      case Kind::kText:
        out += JsonString(field.value);
        break;
      case Kind::kNumber:
        out += Shortest(field.number, false);
        break;
      case Kind::kNull:
        out += "null";
        break;
      case Kind::kBegin:
        out += "{";
        first = true;
        break;
      case Kind::kEnd:
        break;
    }
  }
  return out + "}\n";
}

}  // namespace torvane
