#pragma once
// A grid as plain values: the geometry and every node, held in memory. This
// is what the writers write, what the grid residual reads and writes, and
// what any grid file Torvane reads becomes (ReadGridValues).
//
// Node (c, r) lies at (xmin + c * dx, ymin + r * dy), c from the west, r from
// the south; the nodes are column-major, node (c, r) at c * nrows + r, and a
// blank node holds kBlankNode.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/LargeArray.h"
#include "grid/Bilinear.h"
#include "grid/NodeValues.h"

namespace torvane {

struct GridValues {
  std::uint32_t ncols = 0;
  std::uint32_t nrows = 0;
  double xmin = 0, ymin = 0, dx = 0, dy = 0;
  LargeVector<float> nodes;  // on large pages, see LargeArray.h
  // What the writers store beside the nodes where their format has room:
  // the coordinate reference system (GridCrs.h; empty: not known), the
  // name of what the nodes hold ("residual", "cba") and its units ("mGal").
  std::string crs;
  std::string variable;
  std::string units;

  std::size_t Index(std::uint32_t c, std::uint32_t r) const {
    return static_cast<std::size_t>(c) * nrows + r;
  }
  float At(std::uint32_t c, std::uint32_t r) const { return nodes[Index(c, r)]; }
  float& At(std::uint32_t c, std::uint32_t r) { return nodes[Index(c, r)]; }
  double xmax() const { return xmin + (static_cast<double>(ncols) - 1) * dx; }
  double ymax() const { return ymin + (static_cast<double>(nrows) - 1) * dy; }
  NodeLattice Lattice() const { return NodeLattice(xmin, dx, ncols, ymin, dy, nrows); }
  MemoryNodes Nodes() const { return MemoryNodes{nodes.data(), nrows}; }
};

// The same geometry, CRS and units, every node blank.
GridValues BlankGridLike(const GridValues& grid);

// The lowest and highest node that is not blank; false (both 0) when every
// node is blank.
bool NodeRange(const GridValues& grid, double& low, double& high);

}  // namespace torvane
