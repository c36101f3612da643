// GeoTIFF and netCDF grids through GDAL: one single-precision band, north
// up, each node at the centre of its pixel (the pixel's outer corner half a
// cell before the node), blanks NaN and NaN the band's nodata. GDAL writes
// the temporary file of an AtomicFile, which is renamed over the target once
// GDAL has closed it, so a failed write never leaves half a file behind.

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "common/AtomicFile.h"
#include "grid/GdalLibrary.h"
#include "grid/GridFileWriters.h"

namespace torvane {
namespace {

// The nodes into the band, a strip of rows at a time, the northernmost first.
bool WriteBand(const GdalLibrary& gdal, const GridValues& grid, GDALRasterBandH band) {
  constexpr std::uint32_t kStripRows = 64;
  const std::size_t ncols = grid.ncols;
  std::vector<float> strip(ncols * kStripRows);
  for (std::uint32_t first = 0; first < grid.nrows; first += kStripRows) {
    const std::uint32_t rows = std::min(kStripRows, grid.nrows - first);
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      for (std::uint32_t line = 0; line < rows; ++line) {
        const float value = grid.At(c, grid.nrows - 1 - (first + line));
        strip[line * ncols + c] = IsBlank(value) ? std::numeric_limits<float>::quiet_NaN() : value;
      }
    }
    if (gdal.GDALRasterIO(band, GF_Write, 0, static_cast<int>(first), static_cast<int>(grid.ncols),
                          static_cast<int>(rows), strip.data(), static_cast<int>(grid.ncols),
                          static_cast<int>(rows), GDT_Float32, 0, 0) != CE_None) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteGdalGrid(const GridValues& grid, const std::string& path, GridFileType type,
                   std::string& reason) {
  const std::string_view what = type == GridFileType::kNetcdf ? "netCDF" : "GeoTIFF";
  if (!(grid.dx > 0) || !(grid.dy > 0)) {
    reason = "a " + std::string(what) + " grid needs cells of positive size along both axes";
    return false;
  }
  constexpr std::uint32_t kMostCount = std::numeric_limits<int>::max();
  if (grid.ncols > kMostCount || grid.nrows > kMostCount) {
    reason = "the grid has too many columns or rows for GDAL";
    return false;
  }
  const GdalLibrary* const loaded = LoadGdal(reason);
  if (loaded == nullptr) {
    reason = "GDAL could not be loaded: " + reason;
    return false;
  }
  const GdalLibrary& gdal = *loaded;
  const GDALDriverH driver =
      gdal.GDALGetDriverByName(type == GridFileType::kNetcdf ? "netCDF" : "GTiff");
  if (driver == nullptr) {
    reason = "this GDAL has no " + std::string(what) + " driver";
    return false;
  }
  AtomicFile file(path);
  if (!file.ok()) {
    reason = FileWriteFailure(file.error());
    return false;
  }
  gdal.CPLErrorReset();
  GdalDataset dataset(
      gdal.GDALCreate(driver, file.temp_path().c_str(), static_cast<int>(grid.ncols),
                      static_cast<int>(grid.nrows), 1, GDT_Float32, nullptr),
      GdalDatasetClose{&gdal});
  if (!dataset) {
    reason = "GDAL could not create the " + std::string(what) + " file: " +
             gdal.CPLGetLastErrorMsg();
    return false;
  }
  double transform[6] = {grid.xmin - grid.dx / 2, grid.dx, 0, grid.ymax() + grid.dy / 2, 0,
                         -grid.dy};
  gdal.GDALSetGeoTransform(dataset.get(), transform);
  const GDALRasterBandH band = gdal.GDALGetRasterBand(dataset.get(), 1);
  gdal.GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
  if (!WriteBand(gdal, grid, band)) {
    reason = std::string("GDAL could not write the nodes: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  // Closing writes what GDAL still holds.
  gdal.CPLErrorReset();
  dataset.reset();
  if (gdal.CPLGetLastErrorType() >= CE_Failure) {
    reason = std::string("GDAL could not finish the file: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  if (file.Commit()) return true;
  reason = FileWriteFailure(file.error());
  return false;
}

}  // namespace torvane
