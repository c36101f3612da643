// Surfer 6 binary grid: a 56-byte header ("DSBB", 16-bit counts, the extents
// and the value range) and ncols x nrows floats, row by row from the south,
// each row from the west.

#include <cstring>
#include <utility>

#include "grid/GridReaders.h"

namespace torvane {
namespace {
constexpr std::uint64_t kHeaderSize = 56;
}  // namespace

bool IsSurfer6Grid(std::span<const unsigned char> head) {
  return head.size() >= 4 && std::memcmp(head.data(), "DSBB", 4) == 0;
}

bool ReadSurfer6Grid(TGridImport& grid, const std::string& path) {
  MappedFile file;
  if (!OpenGridFile(grid, path, file)) return false;
  const std::span<const unsigned char> bytes = file.bytes();
  if (bytes.size() < kHeaderSize || !IsSurfer6Grid(bytes)) return false;
  const unsigned char* header = bytes.data();
  if (!GridCount(LoadInt16(header + 4), grid.ncols) ||
      !GridCount(LoadInt16(header + 6), grid.nrows)) {
    return false;
  }
  grid.xmin = LoadDouble(header + 8);
  grid.xmax = LoadDouble(header + 16);
  grid.ymin = LoadDouble(header + 24);
  grid.ymax = LoadDouble(header + 32);
  grid.zmin = LoadDouble(header + 40);
  grid.zmax = LoadDouble(header + 48);
  grid.format = GridFormat::Surfer6Binary;
  BinaryNodeLayout layout;
  layout.encoding = NodeEncoding::kFloat32;
  layout.origin = kHeaderSize;
  layout.ncols = grid.ncols;
  layout.nrows = grid.nrows;
  const Allocation allocation =
      grid.CompleteFromExtents({.nodes = (bytes.size() - kHeaderSize) / 4});
  if (allocation == Allocation::kDeclined) return false;
  grid.blank_value = kBlankValue;
  return TakeBinaryNodes(grid, allocation, FileNodes(std::move(file), layout));
}

}  // namespace torvane
