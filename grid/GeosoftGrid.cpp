// Geosoft binary grid with 2-byte elements: a 512-byte header, then V
// vectors of E signed 16-bit elements. The vectors are rows from the south
// (each from the west), or with orientation -1 columns from the west (each
// from the south). A node is raw / multiplier + base; a raw value of -32767
// or less is missing.

#include <cmath>
#include <utility>

#include "grid/GridReaders.h"

namespace torvane {
namespace {
constexpr std::uint64_t kHeaderRead = 76;  // the fields used, of the 512-byte header
constexpr std::uint64_t kDataOrigin = 512;
constexpr std::int32_t kVectorsAreColumns = -1;
}  // namespace

bool IsGeosoftGrid(std::span<const unsigned char> head) {
  return head.size() >= 4 && LoadInt32(head.data()) == 2;  // the element size
}

bool ReadGeosoftGrid(TGridImport& grid, const std::string& path) {
  MappedFile file;
  if (!OpenGridFile(grid, path, file)) return false;
  const std::span<const unsigned char> bytes = file.bytes();
  if (bytes.size() < kHeaderRead || !IsGeosoftGrid(bytes)) return false;
  const unsigned char* header = bytes.data();
  // The sign flag at +4 is not used: elements are always signed.
  std::uint32_t elements = 0;
  std::uint32_t vectors = 0;
  if (!GridCount(LoadInt32(header + 8), elements) || !GridCount(LoadInt32(header + 12), vectors)) {
    return false;
  }
  const bool by_column = LoadInt32(header + 16) == kVectorsAreColumns;
  const double element_spacing = LoadDouble(header + 20);
  const double vector_spacing = LoadDouble(header + 28);
  // The rotation at +52 is not used.
  const double base = LoadDouble(header + 60);
  double multiplier = LoadDouble(header + 68);
  if (multiplier == 0) multiplier = 1;  // the format's default
  if (!std::isfinite(base) || !std::isfinite(multiplier)) return false;

  // The data must be whole: a Geosoft grid is not read in part.
  const std::uint64_t data_size = std::uint64_t{2} * elements * vectors;
  if (bytes.size() < kDataOrigin || bytes.size() - kDataOrigin < data_size) {
    grid.ShowError("\nError by reading grid " + path);
    return false;
  }

  grid.format = GridFormat::GeosoftBinary;
  grid.xmin = LoadDouble(header + 36);
  grid.ymin = LoadDouble(header + 44);
  grid.ncols = by_column ? vectors : elements;
  grid.nrows = by_column ? elements : vectors;
  grid.dx = by_column ? vector_spacing : element_spacing;
  grid.dy = by_column ? element_spacing : vector_spacing;
  const Allocation allocation = grid.CompleteFromSpacing();
  if (allocation == Allocation::kDeclined) return false;

  BinaryNodeLayout layout;
  layout.encoding = NodeEncoding::kInt16;
  layout.origin = kDataOrigin;
  layout.vectors_are_columns = by_column;
  layout.ncols = grid.ncols;
  layout.nrows = grid.nrows;
  layout.base = base;
  layout.multiplier = multiplier;
  if (!TakeBinaryNodes(grid, allocation, FileNodes(std::move(file), layout))) return false;
  grid.MeasureNodeRange();
  return true;
}

}  // namespace torvane
