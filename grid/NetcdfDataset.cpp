#include "grid/NetcdfDataset.h"

#include <cctype>
#include <limits>
#include <memory>
#include <vector>

namespace torvane {
namespace {

// GDAL's handles of the multidimensional API, each released when it goes.
template <typename Handle>
struct Release {
  void (*release)(Handle);
  void operator()(Handle handle) const { release(handle); }
};
template <typename Handle>
using Held = std::unique_ptr<std::remove_pointer_t<Handle>, Release<Handle>>;

class NetcdfWriter {
 public:
  NetcdfWriter(const GdalLibrary& gdal, GDALGroupH root) : gdal_(gdal), root_(root) {}

  Held<GDALDimensionH> Dimension(const char* name, const char* type, std::uint64_t size) const {
    return Held<GDALDimensionH>(
        gdal_.GDALGroupCreateDimension(root_, name, type, nullptr, size, nullptr),
        {gdal_.GDALDimensionRelease});
  }

  Held<GDALMDArrayH> Array(const char* name, std::vector<GDALDimensionH> dimensions,
                           GDALDataType type) const {
    const Held<GDALExtendedDataTypeH> data_type(gdal_.GDALExtendedDataTypeCreate(type),
                                                {gdal_.GDALExtendedDataTypeRelease});
    return Held<GDALMDArrayH>(
        gdal_.GDALGroupCreateMDArray(root_, name, dimensions.size(), dimensions.data(),
                                     data_type.get(), nullptr),
        {gdal_.GDALMDArrayRelease});
  }

  bool Text(GDALMDArrayH array, const char* name, const std::string& value) const {
    const Held<GDALExtendedDataTypeH> type(gdal_.GDALExtendedDataTypeCreateString(0),
                                           {gdal_.GDALExtendedDataTypeRelease});
    const Held<GDALAttributeH> attribute(
        gdal_.GDALMDArrayCreateAttribute(array, name, 0, nullptr, type.get(), nullptr),
        {gdal_.GDALAttributeRelease});
    return attribute && gdal_.GDALAttributeWriteString(attribute.get(), value.c_str());
  }

  // Writes `count` values of type `type` from `values` into `array` from
  // `start` on, one index per dimension; `stride` steps through `values`.
  bool Write(GDALMDArrayH array, std::vector<GUInt64> start, std::vector<size_t> count,
             std::vector<GPtrDiff_t> stride, GDALDataType type, const void* values) const {
    const Held<GDALExtendedDataTypeH> data_type(gdal_.GDALExtendedDataTypeCreate(type),
                                                {gdal_.GDALExtendedDataTypeRelease});
    return gdal_.GDALMDArrayWrite(array, start.data(), count.data(), nullptr, stride.data(),
                                  data_type.get(), values, nullptr, 0) != 0;
  }

 private:
  const GdalLibrary& gdal_;
  GDALGroupH root_;
};

struct Axis {
  const char* name;
  const char* standard_name;
  const char* long_name;
  const char* units;
};
constexpr Axis kEasting{"x", "projection_x_coordinate", "x coordinate of projection", "m"};
constexpr Axis kNorthing{"y", "projection_y_coordinate", "y coordinate of projection", "m"};
constexpr Axis kLongitude{"lon", "longitude", "longitude", "degrees_east"};
constexpr Axis kLatitude{"lat", "latitude", "latitude", "degrees_north"};

// A coordinate variable: `count` values from `first`, `step` apart.
bool WriteAxis(const NetcdfWriter& out, GDALDimensionH dimension, const Axis& axis, double first,
               double step, std::uint32_t count) {
  const Held<GDALMDArrayH> array = out.Array(axis.name, {dimension}, GDT_Float64);
  if (!array) return false;
  std::vector<double> values(count);
  for (std::uint32_t i = 0; i < count; ++i) values[i] = first + i * step;
  return out.Text(array.get(), "standard_name", axis.standard_name) &&
         out.Text(array.get(), "long_name", axis.long_name) &&
         out.Text(array.get(), "units", axis.units) &&
         out.Write(array.get(), {0}, {count}, {1}, GDT_Float64, values.data());
}

// The nodes, rows from the south as the y axis runs, a strip at a time.
bool WriteNodes(const NetcdfWriter& out, GDALMDArrayH array, const GridValues& grid) {
  constexpr std::uint32_t kStripRows = 64;
  std::vector<float> strip(static_cast<std::size_t>(grid.ncols) * kStripRows);
  for (std::uint32_t first = 0; first < grid.nrows; first += kStripRows) {
    const std::uint32_t rows = std::min(kStripRows, grid.nrows - first);
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      for (std::uint32_t r = 0; r < rows; ++r) {
        const float value = grid.At(c, first + r);
        strip[static_cast<std::size_t>(r) * grid.ncols + c] =
            IsBlank(value) ? std::numeric_limits<float>::quiet_NaN() : value;
      }
    }
    if (!out.Write(array, {first, 0}, {rows, grid.ncols},
                   {static_cast<GPtrDiff_t>(grid.ncols), 1}, GDT_Float32, strip.data())) {
      return false;
    }
  }
  return true;
}

// Everything into the file; every handle of the API is released on return,
// so that closing the dataset then writes the file.
bool WriteContent(const GdalLibrary& gdal, GDALDatasetH dataset, const GridValues& grid,
                  OGRSpatialReferenceH srs) {
  const Held<GDALGroupH> root(gdal.GDALDatasetGetRootGroup(dataset), {gdal.GDALGroupRelease});
  if (!root) return false;
  const NetcdfWriter out(gdal, root.get());
  const bool geographic = srs != nullptr && gdal.OSRIsGeographic(srs);
  const Axis& x_axis = geographic ? kLongitude : kEasting;
  const Axis& y_axis = geographic ? kLatitude : kNorthing;
  const Held<GDALDimensionH> x = out.Dimension(x_axis.name, "HORIZONTAL_X", grid.ncols);
  const Held<GDALDimensionH> y = out.Dimension(y_axis.name, "HORIZONTAL_Y", grid.nrows);
  if (!x || !y || !WriteAxis(out, x.get(), x_axis, grid.xmin, grid.dx, grid.ncols) ||
      !WriteAxis(out, y.get(), y_axis, grid.ymin, grid.dy, grid.nrows)) {
    return false;
  }
  const Held<GDALMDArrayH> nodes =
      out.Array(NetcdfVariableName(grid.variable).c_str(), {y.get(), x.get()}, GDT_Float32);
  return nodes &&
         gdal.GDALMDArraySetNoDataValueAsDouble(nodes.get(),
                                                std::numeric_limits<double>::quiet_NaN()) &&
         (grid.units.empty() || gdal.GDALMDArraySetUnit(nodes.get(), grid.units.c_str())) &&
         (srs == nullptr || gdal.GDALMDArraySetSpatialRef(nodes.get(), srs)) &&
         WriteNodes(out, nodes.get(), grid);
}

}  // namespace

std::string NetcdfVariableName(const std::string& name) {
  if (name.empty()) return "z";
  std::string out = name;
  for (char& c : out) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
  }
  if (std::isdigit(static_cast<unsigned char>(out[0]))) out.insert(out.begin(), '_');
  return out;
}

bool WriteNetcdfDataset(const GdalLibrary& gdal, const GridValues& grid, OGRSpatialReferenceH srs,
                        const std::string& path, std::string& reason) {
  const GDALDriverH driver = gdal.GDALGetDriverByName("netCDF");
  if (driver == nullptr) {
    reason = "this GDAL has no netCDF driver";
    return false;
  }
  const char* const options[] = {"FORMAT=NC4", "CONVENTIONS=CF-1.8", nullptr};
  GdalDataset dataset(gdal.GDALCreateMultiDimensional(driver, path.c_str(), nullptr, options),
                      GdalDatasetClose{&gdal});
  if (!dataset || !WriteContent(gdal, dataset.get(), grid, srs)) {
    reason = std::string("GDAL could not write the netCDF file: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  return FinishGdalDataset(gdal, dataset, "netCDF", reason);
}

}  // namespace torvane
