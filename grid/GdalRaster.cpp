// Grids through GDAL. Read: any single-band raster that GDAL reads
// (GeoTIFF, netCDF as GMT writes it, ...), for files none of our own readers
// knows. GDAL's pixels are areas: the node is the pixel's centre, half a
// pixel inside the raster's corner. Its nodata value is blank, and its scale
// and offset are applied; its CRS, the name of its variable (netCDF) and its
// units are kept.
//
// Written: GeoTIFF, one single-precision band, north up, each node at the
// centre of its pixel, blanks NaN and NaN the band's nodata, the grid's CRS
// and units; netCDF as NetcdfDataset.h writes it. GDAL writes the temporary
// file WriteGrid made, which is put in place once GDAL has closed it, so a
// failed write never leaves half a file behind.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

#include "grid/GdalLibrary.h"
#include "grid/GridCrs.h"
#include "grid/GridFormat.h"
#include "grid/NetcdfDataset.h"
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
  read.format = &kGdalRasterFormat;
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

// The GeoTIFF into `path`: the band, its geotransform, CRS, nodata and
// units.
bool WriteGeoTiff(const GdalLibrary& gdal, const GridValues& grid, OGRSpatialReferenceH srs,
                  const std::string& path, std::string& reason) {
  const GDALDriverH driver = gdal.GDALGetDriverByName("GTiff");
  if (driver == nullptr) {
    reason = "this GDAL has no GeoTIFF driver";
    return false;
  }
  GdalDataset dataset(
      gdal.GDALCreate(driver, path.c_str(), static_cast<int>(grid.ncols),
                      static_cast<int>(grid.nrows), 1, GDT_Float32, nullptr),
      GdalDatasetClose{&gdal});
  if (!dataset) {
    reason = std::string("GDAL could not create the GeoTIFF file: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  double transform[6] = {grid.xmin - grid.dx / 2, grid.dx, 0, grid.ymax() + grid.dy / 2, 0,
                         -grid.dy};
  gdal.GDALSetGeoTransform(dataset.get(), transform);
  if (srs != nullptr && gdal.GDALSetSpatialRef(dataset.get(), srs) != CE_None) {
    reason = std::string("GDAL could not store its CRS: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  const GDALRasterBandH band = gdal.GDALGetRasterBand(dataset.get(), 1);
  gdal.GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
  if (!grid.units.empty()) gdal.GDALSetRasterUnitType(band, grid.units.c_str());
  if (!WriteBand(gdal, grid, band)) {
    reason = std::string("GDAL could not write the nodes: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  return FinishGdalDataset(gdal, dataset, "GeoTIFF", reason);
}

// Why GDAL cannot write the grid as `what` ("GeoTIFF", "netCDF"); empty
// when it can.
std::string RefuseGdalGrid(const GridToWrite& in, std::string_view what) {
  const GridValues& grid = in.grid;
  if (!(grid.dx > 0) || !(grid.dy > 0)) {
    return "a " + std::string(what) + " grid needs cells of positive size along both axes";
  }
  constexpr std::uint32_t kMostCount = std::numeric_limits<int>::max();
  if (grid.ncols > kMostCount || grid.nrows > kMostCount) {
    return "the grid has too many columns or rows for GDAL";
  }
  std::string reason;
  const GdalLibrary* const gdal = LoadGdal(reason);
  if (gdal == nullptr) return "GDAL could not be loaded: " + reason;
  const QuietGdal quiet(*gdal);
  // A CRS the file cannot carry is said, never dropped.
  if (!grid.crs.empty() && !MakeSpatialRef(*gdal, grid.crs)) {
    return "GDAL does not know its coordinate reference system";
  }
  return {};
}

// After RefuseGdalGrid found nothing to refuse: GDAL is loaded and knows the
// CRS.
bool WriteGdalGrid(const GridToWrite& in, GridFileBytes& out, bool netcdf, std::string& reason) {
  const GridValues& grid = in.grid;
  const GdalLibrary& gdal = *LoadGdal(reason);
  const QuietGdal quiet(gdal);
  const GdalSpatialRef srs = MakeSpatialRef(gdal, grid.crs);
  gdal.CPLErrorReset();
  return netcdf ? WriteNetcdfDataset(gdal, grid, srs.get(), out.temp_path(), reason)
                : WriteGeoTiff(gdal, grid, srs.get(), out.temp_path(), reason);
}

}  // namespace

const GridFormat kGeoTiffFormat = {
    .name = "gtiff",
    .extensions = {"tif", "tiff"},
    .refuse = [](const GridToWrite& in) { return RefuseGdalGrid(in, "GeoTIFF"); },
    .write = [](const GridToWrite& in, GridFileBytes& out,
                std::string& reason) { return WriteGdalGrid(in, out, false, reason); },
    .keeps_crs = true,
};

const GridFormat kNetcdfFormat = {
    .name = "netcdf",
    .extensions = {"nc"},
    .refuse = [](const GridToWrite& in) { return RefuseGdalGrid(in, "netCDF"); },
    .write = [](const GridToWrite& in, GridFileBytes& out,
                std::string& reason) { return WriteGdalGrid(in, out, true, reason); },
    .keeps_crs = true,
};

// GDAL knows its formats by content itself: any file is handed to it.
const GridFormat kGdalRasterFormat = {
    .name = "gdal",
    .recognise = [](std::span<const unsigned char>) { return true; },
    .read = ReadGdalRaster,
};

}  // namespace torvane
