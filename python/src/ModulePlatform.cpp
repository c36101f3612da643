#include "ModulePlatform.h"

#include <langinfo.h>
#include <locale.h>

#include "common/SystemMemory.h"

namespace torvane::python {

void ModulePlatform::Keep(std::string_view text) {
  const std::size_t first = text.find_first_not_of("\r\n");
  if (first == std::string_view::npos) return;
  const std::size_t last = text.find_last_not_of("\r\n");
  messages_.emplace_back(text.substr(first, last - first + 1));
}

std::string ModulePlatform::MessageText() const {
  std::string text;
  for (const std::string& message : messages_) {
    if (!text.empty()) text += '\n';
    text += message;
  }
  return text;
}

std::uint64_t ModulePlatform::AvailablePhysicalMemory() {
  return torvane::AvailablePhysicalMemory();
}

char EnvironmentDecimalSeparator() {
  const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr)) return '.';
  const char* mark = nl_langinfo_l(RADIXCHAR, numeric);
  const char separator = mark != nullptr && mark[0] != '\0' && mark[1] == '\0' ? mark[0] : '.';
  freelocale(numeric);
  return separator;
}

}  // namespace torvane::python
