#include "app/cli/LocaleSeparator.h"

#include <clocale>

namespace torvane {

char LocaleDecimalSeparator() {
  std::setlocale(LC_ALL, "");
  const char* mark = std::localeconv()->decimal_point;
  const char separator = mark != nullptr && mark[0] != '\0' && mark[1] == '\0' ? mark[0] : '.';
  // Only the separator is wanted; everything else keeps the C conventions.
  std::setlocale(LC_ALL, "C");
  return separator;
}

}  // namespace torvane
