#include "common/LocaleSeparator.h"

#include <langinfo.h>
#include <locale.h>

namespace torvane {

char LocaleDecimalSeparator() {
  const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr)) return '.';
  const char* mark = nl_langinfo_l(RADIXCHAR, numeric);
  const char separator = mark != nullptr && mark[0] != '\0' && mark[1] == '\0' ? mark[0] : '.';
  freelocale(numeric);
  return separator;
}

}  // namespace torvane
