// Surfer 6 binary grid: a 56-byte header ("DSBB", 16-bit counts, the extents
// and the value range) and ncols x nrows floats, row by row from the south,
// each row from the west. Written with the value range of the nodes.

#include <cstdint>
#include <cstring>
#include <utility>

#include "grid/GridFormat.h"

namespace torvane {
namespace {

constexpr std::uint64_t kHeaderSize = 56;
constexpr std::uint32_t kMostCount = INT16_MAX;  // the counts are 16-bit numbers

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
  read.format = &kSurfer6Format;
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

std::string RefuseSurfer6Grid(const GridToWrite& in) {
  const GridValues& grid = in.grid;
  if (grid.ncols > kMostCount || grid.nrows > kMostCount) {
    return "a Surfer 6 grid holds at most 32767 columns and 32767 rows; this one has " +
           std::to_string(grid.ncols) + " x " + std::to_string(grid.nrows);
  }
  if (grid.ncols < 2 || grid.nrows < 2) {
    return "a Surfer 6 grid needs at least two columns and two rows";
  }
  return {};
}

bool WriteSurfer6Grid(const GridToWrite& in, GridFileBytes& out, std::string& /*reason*/) {
  const GridValues& grid = in.grid;
  out.Text("DSBB");
  out.Int16(static_cast<std::int16_t>(grid.ncols));
  out.Int16(static_cast<std::int16_t>(grid.nrows));
  for (const double field : {grid.xmin, grid.xmax(), grid.ymin, grid.ymax(), in.low, in.high}) {
    out.Double(field);
  }
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, r);
      out.Float(IsBlank(value) ? kBlankNode : value);
    }
  }
  return true;
}

}  // namespace

const GridFormat kSurfer6Format = {
    .name = "surfer6",
    .recognise = IsSurfer6Grid,
    .read = ReadSurfer6Grid,
    .open_failure = OpenFailureMessage::kError,
    .refuse = RefuseSurfer6Grid,
    .write = WriteSurfer6Grid,
};

}  // namespace torvane
