#include "points/ColumnLetters.h"

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
    if (letter < 0 || found == letters.size()) return false;
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

}  // namespace torvane
