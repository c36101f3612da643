#pragma once
// Bilinear interpolation in the grid cell whose south-west node lies at or
// below-left of a position. One code path serves every way of holding the
// nodes: `Nodes` is anything with `float At(c, r) const` (the node matrix in
// memory, or the nodes read from the file in disk mode), so the blank rules
// cannot differ between them.

#include <cmath>
#include <cstdint>

#include "grid/NodeValues.h"

namespace torvane {

// Where the nodes lie: node (c, r) at (xmin + c * dx, ymin + r * dy); with
// the spacings' reciprocals, for finding cells by multiplying.
struct NodeLattice {
  NodeLattice(double x_origin, double x_spacing, std::uint32_t columns, double y_origin,
              double y_spacing, std::uint32_t rows)
      : xmin(x_origin), dx(x_spacing), inverse_dx(1 / x_spacing), ncols(columns),
        ymin(y_origin), dy(y_spacing), inverse_dy(1 / y_spacing), nrows(rows) {}
  double xmin, dx, inverse_dx;
  std::uint32_t ncols;
  double ymin, dy, inverse_dy;
  std::uint32_t nrows;
};

// The cell index along one axis, floor((position - origin) / spacing), from
// 0 to count - 2. False outside, for a quotient that is no number, and for
// an axis of fewer than two nodes.
//
// The quotient is first taken by multiplying with the reciprocal, which is
// off by a few units in the last place at most: far from a whole number its
// floor is the floor of the true quotient, and so of the divided one. Only
// a quotient within a hair of a whole number (a position on a cell edge) is
// divided, so the cell is always the one the division gives.
inline bool CellAlong(double position, double origin, double spacing, double inverse,
                      std::uint32_t count, std::uint32_t& index) {
  const double offset = position - origin;
  const double quotient = offset * inverse;
  double cell = std::floor(quotient);
  const double fraction = quotient - cell;
  const double hair = (std::fabs(quotient) + 1) * 1e-13;
  if (!(fraction > hair && fraction < 1 - hair)) cell = std::floor(offset / spacing);
  if (!(cell >= 0.0 && cell <= static_cast<double>(count) - 2.0)) return false;
  index = static_cast<std::uint32_t>(cell);
  return true;
}

// The weight of a position's upper node along one axis, in cell `cell`.
inline double WeightAlong(double position, double cell, double origin, double spacing) {
  const double low = cell * spacing + origin;
  const double high = (cell + 1) * spacing + origin;
  return (position - low) / (high - low);
}

// The weighted mean of a cell's four corners, with the weights t (along x)
// and u (along y) of the corners (c + 1, .) and (., r + 1).
inline double WeighCorners(double t, double u, double z00, double z10, double z11,
                           double z01) {
  return (1 - t) * (1 - u) * z00 + t * (1 - u) * z10 + t * u * z11 + (1 - t) * u * z01;
}

// The corners z00, z10, z11, z01 of cell (c, r), in this order, stopping at
// the first blank one: false then.
template <typename Nodes>
bool ReadCorners(const Nodes& nodes, std::uint32_t c, std::uint32_t r, double z[4]) {
  z[0] = nodes.At(c, r);
  if (IsBlank(z[0])) return false;
  z[1] = nodes.At(c + 1, r);
  if (IsBlank(z[1])) return false;
  z[2] = nodes.At(c + 1, r + 1);
  if (IsBlank(z[2])) return false;
  z[3] = nodes.At(c, r + 1);
  return !IsBlank(z[3]);
}

// The weighted mean of the cell's four corners, or kBlankValue when the
// position lies outside the cells or any corner is blank: there is no
// extrapolation and no falling back to fewer corners.
template <typename Nodes>
double InterpolateBilinear(const NodeLattice& grid, const Nodes& nodes, double x, double y) {
  std::uint32_t c = 0;
  std::uint32_t r = 0;
  if (!CellAlong(x, grid.xmin, grid.dx, grid.inverse_dx, grid.ncols, c)) return kBlankValue;
  if (!CellAlong(y, grid.ymin, grid.dy, grid.inverse_dy, grid.nrows, r)) return kBlankValue;
  const double t = WeightAlong(x, static_cast<double>(c), grid.xmin, grid.dx);
  const double u = WeightAlong(y, static_cast<double>(r), grid.ymin, grid.dy);
  double z[4];
  if (!ReadCorners(nodes, c, r, z)) return kBlankValue;
  return WeighCorners(t, u, z[0], z[1], z[2], z[3]);
}

// The node matrix in memory: column-major, node (c, r) at c * nrows + r.
struct MemoryNodes {
  const float* nodes;
  std::uint32_t nrows;
  float At(std::uint32_t c, std::uint32_t r) const {
    return nodes[static_cast<std::size_t>(c) * nrows + r];
  }
};

}  // namespace torvane
