#pragma once
// The index behind the ring searches: square cells laid over the points'
// bounding box, about one station spacing wide, and the points sorted into
// them row by row, with their X, Y and CBA copied side by side in that
// order. The cells of one row that a ring can touch are one or two runs of
// consecutive cells, so a ring query reads a few contiguous stretches of
// memory per row and skips the ring's hole. The same order is the order in
// which the residuals are computed (neighbouring points one after the
// other, so that what one point reads the next finds in the cache).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/LargeArray.h"
#include "points/PointSet.h"

namespace torvane {

class RingIndex {
 public:
  // Files the points for rings of distances inner..outer from their centre
  // (inner may be negative: no hole). Throws std::bad_alloc when memory runs
  // out.
  RingIndex(const PointSet& points, double inner, double outer);

  // Calls `visit(begin, end)` for stretches [begin, end) of the sorted
  // points that together hold every point whose distance from (x, y) lies
  // in [inner, outer]; they hold other points too, which the caller filters.
  template <typename Visit>
  void ForEachStretch(double x, double y, Visit&& visit) const {
    ForEachStretchWithin(x, y, inner_, outer_, visit);
  }
  // The same for the distances inner..outer given here (at most the outer
  // distance the cells were laid for, best).
  template <typename Visit>
  void ForEachStretchWithin(double x, double y, double inner_limit, double outer_limit,
                            Visit&& visit) const;

  // The points' X and Y in order(), followed by kReadPast zeros, so that a
  // loop working several points at a time may read a few past a stretch's
  // end and discard them.
  static constexpr std::size_t kReadPast = 8;
  const double* x() const { return x_.data(); }
  const double* y() const { return y_.data(); }
  const double* cba() const { return cba_.data(); }
  // Answers rings of distances inner..outer from now on; the cells stay as
  // they were laid for the outer distance given at construction, which
  // serve any ring (best those no wider).
  void SetLimits(double inner, double outer) {
    inner_ = inner;
    outer_ = outer;
  }
  // Multiplies every CBA value held here by 2^exponent.
  void ScaleCba(int exponent);
  // The point indices in the order of the stretches: neighbours together,
  // cell by cell, row by row; within a cell in file order.
  const std::vector<std::uint32_t>& order() const { return order_; }
  // How many cells the points were filed into.
  std::int64_t cells() const { return columns_ * rows_; }

 private:
  // Cell column and row of a position, limited to the cells. Both never
  // decrease as the position grows, so the cells of an interval's ends bound
  // the cells of every position within it, whatever the rounding.
  std::int64_t Column(double x) const { return Clamped((x - origin_x_) / cell_, columns_); }
  std::int64_t Row(double y) const { return Clamped((y - origin_y_) / cell_, rows_); }
  // Bounds on Column(x) without its division: the product by the inverse
  // cell width differs from the quotient by a few units in the last place,
  // far less than the widening by kColumnSlack of the cells' count.
  std::int64_t ColumnAtMost(double x) const {
    const double cells = (x - origin_x_) * inverse_cell_;
    return Clamped(cells - (std::fabs(cells) + 1) * kColumnSlack, columns_);
  }
  std::int64_t ColumnAtLeast(double x) const {
    const double cells = (x - origin_x_) * inverse_cell_;
    return Clamped(cells + (std::fabs(cells) + 1) * kColumnSlack, columns_);
  }
  static constexpr double kColumnSlack = 0x1p-40;
  double RowLow(std::int64_t row) const { return origin_y_ + static_cast<double>(row) * cell_; }
  // The position in `order()` of the first point of cell (row, column);
  // (row, columns) is the end of the row.
  std::uint32_t CellStart(std::int64_t row, std::int64_t column) const {
    return start_[static_cast<std::size_t>(row * columns_ + column)];
  }
  static std::int64_t Clamped(double cells, std::int64_t count) {
    if (!(cells > 0)) return 0;  // below the cells, or not a number
    if (cells >= static_cast<double>(count - 1)) return count - 1;
    return static_cast<std::int64_t>(cells);
  }
  void FileIntoCells(const PointSet& points);

  double inner_, outer_;
  double origin_x_, origin_y_, cell_ = 1, inverse_cell_ = 1;
  std::int64_t columns_ = 1, rows_ = 1;
  LargeVector<std::uint32_t> start_;  // per cell (row-major), then the end
  std::vector<std::uint32_t> order_;
  LargeVector<double> x_, y_, cba_;  // the points in order()
};

template <typename Visit>
void RingIndex::ForEachStretchWithin(double x, double y, double inner_limit, double outer_limit,
                                     Visit&& visit) const {
  // Rounding in the bounds below is covered by widening the ring and
  // narrowing its hole by far more than any rounding error.
  const double cell = cell_;
  const double margin = 1e-9 * (std::fabs(x) + std::fabs(y) + std::fabs(outer_limit) + cell);
  const double outer = outer_limit * (1 + 1e-9) + margin;
  const double inner = inner_limit * (1 - 1e-9) - margin;
  const std::int64_t first_row = Row(y - outer);
  const std::int64_t last_row = Row(y + outer);
  // The stretches of a batch of rows are worked out before any is visited,
  // so that the square roots of one row need not wait for the reading of
  // the row before.
  constexpr std::int64_t kBatch = 32;
  std::uint32_t stretches[kBatch][4];
  for (std::int64_t batch = first_row; batch <= last_row; batch += kBatch) {
    const std::int64_t rows = std::min(kBatch, last_row - batch + 1);
    for (std::int64_t r = 0; r < rows; ++r) {
      const std::int64_t row = batch + r;
      std::uint32_t* bounds = stretches[r];
      bounds[0] = bounds[1] = bounds[2] = bounds[3] = 0;
      // The distances along Y from the centre to the nearest and the
      // farthest point the row can hold.
      const double row_low = RowLow(row) - margin;
      const double row_high = row_low + cell + 2 * margin;
      const double near_dy = std::max({0.0, row_low - y, y - row_high});
      const double far_dy = std::max(std::fabs(y - row_low), std::fabs(row_high - y));
      if (near_dy > outer) continue;
      const double reach = std::sqrt(outer * outer - near_dy * near_dy) * (1 + 1e-9) + margin;
      const std::int64_t first = ColumnAtMost(x - reach);
      const std::int64_t last = ColumnAtLeast(x + reach);
      bounds[0] = CellStart(row, first);
      bounds[3] = CellStart(row, last + 1);
      bounds[1] = bounds[2] = bounds[3];
      if (inner > far_dy) {
        // Cells strictly between the hole's end cells hold only points
        // nearer than the inner distance.
        const double hole = std::sqrt(inner * inner - far_dy * far_dy) * (1 - 1e-9) - margin;
        const std::int64_t hole_first = ColumnAtLeast(x - hole);
        const std::int64_t hole_last = ColumnAtMost(x + hole);
        if (hole > 0 && hole_last - hole_first >= 2) {
          bounds[1] = CellStart(row, std::min(last, hole_first) + 1);
          bounds[2] = CellStart(row, std::max(first, hole_last));
        }
      }
    }
    for (std::int64_t r = 0; r < rows; ++r) {
      const std::uint32_t* bounds = stretches[r];
      if (bounds[0] < bounds[1]) visit(bounds[0], bounds[1]);
      if (bounds[2] < bounds[3]) visit(bounds[2], bounds[3]);
    }
  }
}

}  // namespace torvane
