#pragma once
// Square cells laid over the points' bounding box, about one station spacing
// wide, and the points sorted into them row by row. Two things rest on it:
// the ring index (the points of neighbouring cells lie side by side in
// memory) and the order in which the residuals are computed (neighbouring
// points one after the other, so that what one point reads the next finds in
// the cache).

#include <cstdint>
#include <vector>

#include "points/PointSet.h"

namespace torvane {

class CellGrid {
 public:
  // Sizes the cells for the points, with at most about 64 rows across a
  // distance of 2 * reach, and files every point. Throws std::bad_alloc when
  // memory runs out.
  CellGrid(const PointSet& points, double reach);

  // Cell column and row of a position, limited to the grid. Both never
  // decrease as the position grows, so the cells of an interval's ends bound
  // the cells of every position within it, whatever the rounding.
  std::int64_t Column(double x) const { return Clamped((x - origin_x_) / cell_, columns_); }
  std::int64_t Row(double y) const { return Clamped((y - origin_y_) / cell_, rows_); }

  double cell() const { return cell_; }
  double RowLow(std::int64_t row) const { return origin_y_ + static_cast<double>(row) * cell_; }
  // The position in `order()` of the first point of cell (row, column);
  // (row, columns) is the end of the row.
  std::uint32_t CellStart(std::int64_t row, std::int64_t column) const {
    return start_[static_cast<std::size_t>(row * columns_ + column)];
  }
  // The point indices, cell by cell, row by row; within a cell in file order.
  const std::vector<std::uint32_t>& order() const { return order_; }

 private:
  static std::int64_t Clamped(double cells, std::int64_t count) {
    if (!(cells > 0)) return 0;  // below the grid, or not a number
    if (cells >= static_cast<double>(count - 1)) return count - 1;
    return static_cast<std::int64_t>(cells);
  }

  double origin_x_, origin_y_, cell_ = 1;
  std::int64_t columns_ = 1, rows_ = 1;
  std::vector<std::uint32_t> start_;  // per cell (row-major), then the end
  std::vector<std::uint32_t> order_;
};

}  // namespace torvane
