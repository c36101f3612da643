#include "grid/GridFormat.h"

#include <cctype>

namespace torvane {

const GridFormat* GridFormatNamed(std::string_view name) {
  for (const GridFormat* format : kGridFormats) {
    if (format->write != nullptr && format->name == name) return format;
  }
  return nullptr;
}

std::string GridFormatNames() {
  std::string names;
  for (const GridFormat* format : kGridFormats) {
    if (format->write == nullptr) continue;
    if (!names.empty()) names += ", ";
    names += format->name;
  }
  return names;
}

const GridFormat* GridFormatOfPath(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return nullptr;
  }
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const GridFormat* format : kGridFormats) {
    for (const std::string_view ending : format->extensions) {
      if (!ending.empty() && ending == extension) return format;
    }
  }
  return nullptr;
}

}  // namespace torvane
