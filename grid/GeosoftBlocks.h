#pragma once
// The vectors of a compressed Geosoft grid. After the 512-byte header come a
// compression signature, the compression type, the number of blocks, the
// vectors per block, each block's file offset (64-bit) and each block's
// compressed size (32-bit). A block is a 16-byte block header and a zlib
// stream that inflates to the block's vectors, element after element as in
// an uncompressed grid.

#include <span>

#include "grid/FileNodes.h"

namespace torvane {

// Decodes every vector of the grid `layout` describes into `nodes`, the
// column-major node matrix of layout.ncols x layout.nrows. False when the
// block table or a block lies outside the file, when a block does not
// inflate, or when the blocks hold fewer vectors than the grid.
bool ReadGeosoftBlocks(std::span<const unsigned char> file, const BinaryNodeLayout& layout,
                       float* nodes);

}  // namespace torvane
