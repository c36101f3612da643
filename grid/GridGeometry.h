#pragma once
// Where the nodes of a grid lie: node (c, r) at x = xmin + c dx, y = ymin +
// r dy, column c from the west, row r from the south. The far ends and the
// ranges are kept as the file gave them (a format that stores extents) or
// as the spacings give them (a format that stores spacings).

#include <cstdint>
#include <string>

namespace torvane {

struct GridGeometry {
  std::uint32_t ncols = 0;  // node columns, along x from the west
  std::uint32_t nrows = 0;  // node rows, along y from the south
  double xmin = 0, xmax = 0, xrange = 0, dx = 0;
  double ymin = 0, ymax = 0, yrange = 0, dy = 0;

  // From the extents: the spacings are the ranges over the cells.
  static GridGeometry FromExtents(std::uint32_t ncols, std::uint32_t nrows, double xmin,
                                  double xmax, double ymin, double ymax);
  // From the spacings: the far ends lie (count - 1) spacings on.
  static GridGeometry FromSpacing(std::uint32_t ncols, std::uint32_t nrows, double xmin,
                                  double ymin, double dx, double dy);

  // Counts from 1 to the largest signed 32-bit number (the cell index of the
  // interpolation is one), a finite origin, and along every axis of two or
  // more nodes a finite spacing other than 0 and a finite far end. An axis
  // of one node has no cells, so its spacing does not matter.
  bool IsSound() const { return Problem().empty(); }
  // Why the geometry is not sound, naming the value ("x spacing 0", "ncols
  // -5 is not a count" is the reader's), or empty when it is.
  std::string Problem() const;

  // Keeps the first `kept` rows a file holds; with `from_north` those are the
  // northernmost, so that ymin moves north.
  void KeepRows(std::uint32_t kept, bool from_north);
};

}  // namespace torvane
