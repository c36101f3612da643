// Any single-band raster that GDAL reads (GeoTIFF, netCDF as GMT writes it,
// ...), for files none of our own readers knows. GDAL's pixels are areas:
// the node is the pixel's centre, half a pixel inside the raster's corner.
// Its nodata value is blank, and its scale and offset are applied; its CRS,
// the name of its variable (netCDF) and its units are kept.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "grid/GdalLibrary.h"
#include "grid/GridCrs.h"
#include "grid/GridReaders.h"
#include "grid/NetcdfLength.h"

namespace torvane {
namespace {

// Tables of x, y and a value are scattered points, like our own point
// files, not grids.
constexpr std::string_view kNotGrids[] = {"XYZ"};

const char* DriverName(const GdalLibrary& gdal, GDALDatasetH dataset) {
  return gdal.GDALGetDescription(gdal.GDALGetDatasetDriver(dataset));
}

GdalDataset OpenRaster(const GdalLibrary& gdal, const std::string& path) {
  GdalDataset dataset(
      gdal.GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr),
      GdalDatasetClose{&gdal});
  if (!dataset || !gdal.GDALGetDatasetDriver(dataset.get())) return nullptr;
  const std::string_view driver = DriverName(gdal, dataset.get());
  if (std::find(std::begin(kNotGrids), std::end(kNotGrids), driver) != std::end(kNotGrids)) {
    return nullptr;
  }
  return dataset;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

bool ReadGdalRaster(TGridImport& grid, MappedFile& file, const std::string& path) {
  // A netCDF file cut short is said to be so, before GDAL takes it for no
  // format at all or reads zeros where it ends.
  if (const std::optional<std::string> cut = NetcdfCutShort(file.bytes(), file.size())) {
    grid.Decline(*cut);
    return false;
  }
  std::string reason;
  const GdalLibrary* const loaded = LoadGdal(reason);
  if (loaded == nullptr) {
    grid.ShowError("Grid file could not be read, as GDAL could not be loaded (" + reason +
                   "): " + path);
    return false;
  }
  const GdalLibrary& gdal = *loaded;
  const QuietGdal quiet(gdal);
  const GdalDataset dataset = OpenRaster(gdal, path);
  if (!dataset) return false;
  const std::string driver = DriverName(gdal, dataset.get());
  const int bands = gdal.GDALGetRasterCount(dataset.get());
  if (bands != 1) {
    grid.ShowError(driver + " file holds " + std::to_string(bands) +
                   " raster bands; a grid is read from a file of one band: " + path);
    return false;
  }
  double gt[6] = {};
  if (gdal.GDALGetGeoTransform(dataset.get(), gt) != CE_None) {
    grid.ShowError(driver + " file has no georeferencing, so its nodes have no position: " +
                   path);
    return false;
  }
  if (gt[2] != 0 || gt[4] != 0) {
    grid.ShowError(driver + " raster is rotated or sheared (geotransform terms " +
                   Number(gt[2]) + ", " + Number(gt[4]) +
                   "); only grids along the x and y axes are read: " + path);
    return false;
  }
  const GDALRasterBandH band = gdal.GDALGetRasterBand(dataset.get(), 1);
  const int width = gdal.GDALGetRasterXSize(dataset.get());
  const int height = gdal.GDALGetRasterYSize(dataset.get());
  std::uint32_t columns = 0;
  std::uint32_t lines = 0;
  if (!GridCount(grid, "width", width, columns) || !GridCount(grid, "height", height, lines)) {
    return false;
  }
  // Pixel centres; the nodes are counted from the west and from the south
  // whichever way the raster runs.
  const bool from_west = gt[1] > 0;
  const bool from_north = gt[5] < 0;
  GridHeader read;
  read.format = GridFormat::GdalRaster;
  read.crs = DatasetCrs(gdal, dataset.get());
  if (const char* name = gdal.GDALGetMetadataItem(band, "NETCDF_VARNAME", nullptr)) {
    read.variable = name;
  }
  if (const char* units = gdal.GDALGetRasterUnitType(band)) read.units = units;
  read.geometry = GridGeometry::FromSpacing(
      columns, lines, gt[0] + (from_west ? 0.5 : width - 0.5) * gt[1],
      gt[3] + (from_north ? height - 0.5 : 0.5) * gt[5], std::fabs(gt[1]), std::fabs(gt[5]));
  const Allocation allocation = grid.Accept(read, {.memory_only = true});
  if (allocation != Allocation::kInMemory) return false;

  int has_nodata = 0;
  const double nodata = gdal.GDALGetRasterNoDataValue(band, &has_nodata);
  const bool single = gdal.GDALGetRasterDataType(band) == GDT_Float32;
  int has_scale = 0, has_offset = 0;
  double scale = gdal.GDALGetRasterScale(band, &has_scale);
  double offset = gdal.GDALGetRasterOffset(band, &has_offset);
  if (!has_scale) scale = 1;
  if (!has_offset) offset = 0;
  const auto is_nodata = [&](double value) {
    if (!has_nodata) return false;
    if (single) return static_cast<float>(value) == static_cast<float>(nodata);
    return value == nodata;
  };

  // A strip of rows at a time, written into the column-major nodes.
  const std::size_t ncols = grid.ncols();
  const std::size_t nrows = grid.nrows();
  const int strip = static_cast<int>(std::clamp<std::size_t>((std::size_t{2} << 20) / ncols, 1, 64));
  std::vector<double> rows(static_cast<std::size_t>(strip) * ncols);
  float* nodes = grid.nodes();
  for (int first = 0; first < height; first += strip) {
    const int count = std::min(strip, height - first);
    if (gdal.GDALRasterIO(band, GF_Read, 0, first, width, count, rows.data(), width, count,
                          GDT_Float64, 0, 0) != CE_None) {
      grid.ShowError("\nError by reading grid " + path);
      return false;
    }
    for (int k = 0; k < count; ++k) {
      const std::size_t line = static_cast<std::size_t>(first + k);
      const std::size_t r = from_north ? nrows - 1 - line : line;
      const double* values = rows.data() + static_cast<std::size_t>(k) * ncols;
      for (std::size_t i = 0; i < ncols; ++i) {
        const std::size_t c = from_west ? i : ncols - 1 - i;
        const double value = values[i];
        nodes[c * nrows + r] = is_nodata(value) ? kBlankNode : NodeFromDouble(value * scale + offset);
      }
    }
  }
  grid.MeasureNodeRange();
  return true;
}

}  // namespace torvane
