#include "grid/GridFileType.h"

#include <array>
#include <cctype>
#include <utility>

namespace torvane {
namespace {

constexpr std::array<std::pair<std::string_view, GridFileType>, 7> kNames = {{
    {"surfer7", GridFileType::kSurfer7},
    {"surfer6", GridFileType::kSurfer6},
    {"surfer-ascii", GridFileType::kSurferAscii},
    {"esri", GridFileType::kEsriAscii},
    {"geosoft", GridFileType::kGeosoft},
    {"gtiff", GridFileType::kGeoTiff},
    {"netcdf", GridFileType::kNetcdf},
}};

constexpr std::array<std::pair<std::string_view, GridFileType>, 5> kExtensions = {{
    {"grd", GridFileType::kSurfer7},
    {"asc", GridFileType::kEsriAscii},
    {"tif", GridFileType::kGeoTiff},
    {"tiff", GridFileType::kGeoTiff},
    {"nc", GridFileType::kNetcdf},
}};

}  // namespace

std::optional<GridFileType> GridFileTypeNamed(std::string_view name) {
  for (const auto& [text, type] : kNames) {
    if (text == name) return type;
  }
  return std::nullopt;
}

std::string_view GridFileTypeName(GridFileType type) {
  for (const auto& [text, named] : kNames) {
    if (named == type) return text;
  }
  return {};
}

std::string GridFileTypeNames() {
  std::string names;
  for (const auto& [text, type] : kNames) {
    if (!names.empty()) names += ", ";
    names += text;
  }
  return names;
}

std::optional<GridFileType> GridFileTypeOfPath(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& [text, type] : kExtensions) {
    if (text == extension) return type;
  }
  return std::nullopt;
}

}  // namespace torvane
