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

bool ReadSurfer6Grid(TGridImport& grid, MappedFile& file, const std::string& /*path*/) {
  const std::span<const unsigned char> bytes = file.bytes();
  if (bytes.size() < kHeaderSize || !IsSurfer6Grid(bytes)) return false;
  const unsigned char* header = bytes.data();
  std::uint32_t ncols = 0;
  std::uint32_t nrows = 0;
  if (!GridCount(grid, "nx", LoadInt16(header + 4), ncols) ||
      !GridCount(grid, "ny", LoadInt16(header + 6), nrows)) {
    return false;
  }
  GridHeader read;
  read.format = GridFormat::Surfer6Binary;
  read.geometry = GridGeometry::FromExtents(ncols, nrows, LoadDouble(header + 8),
                                            LoadDouble(header + 16), LoadDouble(header + 24),
                                            LoadDouble(header + 32));
  read.zmin = LoadDouble(header + 40);
  read.zmax = LoadDouble(header + 48);
  BinaryNodeLayout layout;
  layout.encoding = NodeEncoding::kFloat32;
  layout.origin = kHeaderSize;
  layout.ncols = ncols;
  layout.nrows = nrows;
  const Allocation allocation = grid.Accept(
      read, {.nodes = (file.size() - kHeaderSize) / 4,
             .node_bytes = 4,
             .file_bytes = file.size(),
             .header_bytes = kHeaderSize});
  if (allocation == Allocation::kDeclined) return false;
  return TakeBinaryNodes(grid, allocation, FileNodes(std::move(file), layout));
}

}  // namespace torvane
