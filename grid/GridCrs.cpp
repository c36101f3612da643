#include "grid/GridCrs.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace torvane {
namespace {

// WKT of the longest CRS definitions stays well below this; anything larger
// beside a grid is no `.prj`.
constexpr std::streamsize kMostPrjBytes = 64 * 1024;

std::string ReadSmallText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(static_cast<std::size_t>(kMostPrjBytes) + 1, '\0');
  in.read(text.data(), kMostPrjBytes + 1);
  const std::streamsize size = in.gcount();
  if (size > kMostPrjBytes) return {};
  text.resize(static_cast<std::size_t>(size));
  if (std::any_of(text.begin(), text.end(), [](char c) { return c == '\0'; })) return {};
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  text.resize(end == std::string::npos ? 0 : end + 1);
  return text;
}

// The text GDAL exported, released with VSIFree.
std::string TakeText(const GdalLibrary& gdal, char* text) {
  std::string copy = text != nullptr ? text : "";
  gdal.VSIFree(text);
  return copy;
}

}  // namespace

std::string PrjPathOf(const std::string& grid_path) {
  const std::size_t slash = grid_path.find_last_of('/');
  const std::size_t dot = grid_path.find_last_of('.');
  const bool has_extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (has_extension ? grid_path.substr(0, dot) : grid_path) + ".prj";
}

std::string ReadPrjBeside(const std::string& grid_path) {
  const std::string lower = PrjPathOf(grid_path);
  std::string text = ReadSmallText(lower);
  if (text.empty()) text = ReadSmallText(lower.substr(0, lower.size() - 3) + "PRJ");
  return text;
}

bool EsriPrjText(const std::string& crs, std::string& text, std::string& reason) {
  const GdalLibrary* const gdal = LoadGdal(reason);
  if (gdal == nullptr) {
    reason = "GDAL, which writes the .prj file, could not be loaded: " + reason;
    return false;
  }
  const QuietGdal quiet(*gdal);
  const GdalSpatialRef srs = MakeSpatialRef(*gdal, crs);
  char* exported = nullptr;
  const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
  const bool made = srs && gdal->OSRMorphToESRI(srs.get()) == OGRERR_NONE &&
                    gdal->OSRExportToWktEx(srs.get(), &exported, options) == OGRERR_NONE;
  text = TakeText(*gdal, exported);
  if (made && !text.empty()) return true;
  reason = "GDAL does not know its coordinate reference system, so no .prj file can be written";
  return false;
}

std::string DatasetCrs(const GdalLibrary& gdal, GDALDatasetH dataset) {
  const OGRSpatialReferenceH srs = gdal.GDALGetSpatialRef(dataset);
  if (srs == nullptr) return {};
  char* exported = nullptr;
  const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
  if (gdal.OSRExportToWktEx(srs, &exported, options) != OGRERR_NONE) {
    gdal.VSIFree(exported);
    return {};
  }
  return TakeText(gdal, exported);
}

GdalSpatialRef MakeSpatialRef(const GdalLibrary& gdal, const std::string& text) {
  GdalSpatialRef srs(gdal.OSRNewSpatialReference(nullptr), GdalSpatialRefRelease{&gdal});
  if (!srs || text.empty() || gdal.OSRSetFromUserInput(srs.get(), text.c_str()) != OGRERR_NONE) {
    return nullptr;
  }
  gdal.OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

}  // namespace torvane
