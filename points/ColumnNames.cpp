#include "points/ColumnNames.h"

#include <string>

namespace torvane {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int LetterColumn(std::string_view name) {
  if (name.size() != 1) return -1;
  const char c = name[0];
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a';
  return -1;
}

// The header's names for a message: at most a dozen, each cut to 40
// characters, and a word on line ends when a name holds a lone carriage
// return (a file with the old Mac line ends reads as one long line).
std::string HeaderList(const std::vector<std::string>& header) {
  constexpr std::size_t kMostNames = 12;
  constexpr std::size_t kMostNameLength = 40;
  std::string list;
  bool carriage_return = false;
  for (std::size_t c = 0; c < header.size(); ++c) {
    carriage_return = carriage_return || header[c].find('\r') != std::string::npos;
    if (c >= kMostNames) continue;
    std::string shown = header[c].substr(0, kMostNameLength);
    for (char& ch : shown) {
      if (ch == '\r' || ch == '\n') ch = ' ';
    }
    list += (c ? ", " : "") + shown + (header[c].size() > kMostNameLength ? "..." : "");
  }
  if (header.size() > kMostNames) {
    list += ", ... " + std::to_string(header.size()) + " names in all";
  }
  if (carriage_return) list += "; its lines end in a carriage return alone: make them line feeds";
  return list;
}

}  // namespace

bool ResolveColumnNames(const std::vector<std::string>& header, const ColumnNames& names,
                        PointColumns& columns, std::string& problem) {
  PointColumns resolved = columns;
  const std::array<int*, 5> targets{&resolved.x, &resolved.y, &resolved.point, &resolved.cba,
                                    &resolved.height};
  for (std::size_t k = 0; k < names.size(); ++k) {
    const std::string& name = names[k];
    if (name.empty()) continue;
    int found = -1;
    for (std::size_t c = 0; c < header.size() && found < 0; ++c) {
      if (SameName(header[c], name)) found = static_cast<int>(c);
    }
    if (found < 0) found = LetterColumn(name);
    // '-' for the point: the stations are numbered in file order.
    if (found < 0 && k == 2 && name == "-") {
      *targets[k] = kNumberedPoints;
      continue;
    }
    if (found < 0) {
      if (header.empty()) {
        problem =
            "column '" + name + "' is no letter A to Z, and the file has no header row of names";
      } else {
        problem = "column '" + name + "' is not in the header row (" + HeaderList(header) + ")";
      }
      return false;
    }
    *targets[k] = found;
  }
  columns = resolved;
  return true;
}

std::vector<std::string> PlainHeaderWords(std::string_view line,
                                          const PointLineAlphabet& alphabet) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    const auto separates = [&](char c) {
      const PointLineAlphabet::Kind kind = alphabet[c];
      return kind == PointLineAlphabet::kBlank || kind == PointLineAlphabet::kNul;
    };
    while (i < line.size() && separates(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !separates(line[i])) ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

}  // namespace torvane
