#include "points/ColumnLetters.h"

#include <algorithm>
#include <array>

namespace torvane {

bool ParseColumnLetters(const std::string& text, PointColumns& columns) {
  std::array<int, 4> letters{};
  std::size_t found = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    int letter = -1;
    if (c >= 'A' && c <= 'Z') letter = c - 'A';
    if (c >= 'a' && c <= 'z') letter = c - 'a';
    if (c == '-' && found == 2) letter = kNumberedPoints;
    if (letter == -1 || found == letters.size()) return false;
    letters[found++] = letter;
    ++i;
    if (i < text.size()) {
      if (text[i] != ',' || i + 1 == text.size()) return false;
      ++i;
    }
  }
  if (found != letters.size()) return false;
  columns = {letters[0], letters[1], letters[2], letters[3]};
  return true;
}

bool ParseColumnNames(const std::string& text, ColumnNames& names, std::size_t named) {
  ColumnNames found;
  std::size_t count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    std::string name = text.substr(start, comma - start);
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos || count == named) return false;
    name = name.substr(first, name.find_last_not_of(" \t") + 1 - first);
    found[count++] = name;
    if (comma == text.size()) break;
    start = comma + 1;
  }
  if (count != named) return false;
  names = found;
  return true;
}

}  // namespace torvane
