#pragma once
// The index behind point mode's ring search: the points sorted into fine
// cells row by row (CellGrid), with their X, Y and CBA copied side by side in
// that order. The cells of one row that a ring can touch are one or two runs
// of consecutive cells, so a ring query reads a few contiguous stretches of
// memory per row and skips the ring's hole.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "points/PointSet.h"
#include "residual/CellGrid.h"

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
  void ForEachStretch(double x, double y, Visit&& visit) const;

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
  // The point indices in the order of the stretches: neighbours together.
  const std::vector<std::uint32_t>& order() const { return grid_.order(); }

 private:
  double inner_, outer_;
  CellGrid grid_;
  std::vector<double> x_, y_, cba_;  // the points in the grid's order
};

template <typename Visit>
void RingIndex::ForEachStretch(double x, double y, Visit&& visit) const {
  // Rounding in the bounds below is covered by widening the ring and
  // narrowing its hole by far more than any rounding error.
  const double cell = grid_.cell();
  const double margin = 1e-9 * (std::fabs(x) + std::fabs(y) + std::fabs(outer_) + cell);
  const double outer = outer_ * (1 + 1e-9) + margin;
  const double inner = inner_ * (1 - 1e-9) - margin;
  const std::int64_t last_row = grid_.Row(y + outer);
  for (std::int64_t row = grid_.Row(y - outer); row <= last_row; ++row) {
    // The distances along Y from the centre to the nearest and the farthest
    // point the row can hold.
    const double row_low = grid_.RowLow(row) - margin;
    const double row_high = row_low + cell + 2 * margin;
    const double near_dy = std::max({0.0, row_low - y, y - row_high});
    const double far_dy = std::max(std::fabs(y - row_low), std::fabs(row_high - y));
    if (near_dy > outer) continue;
    const double reach = std::sqrt(outer * outer - near_dy * near_dy) * (1 + 1e-9) + margin;
    const std::int64_t first = grid_.Column(x - reach);
    const std::int64_t last = grid_.Column(x + reach);
    if (inner > far_dy) {
      // Cells strictly between the hole's end cells hold only points nearer
      // than the inner distance.
      const double hole = std::sqrt(inner * inner - far_dy * far_dy) * (1 - 1e-9) - margin;
      const std::int64_t hole_first = grid_.Column(x - hole);
      const std::int64_t hole_last = grid_.Column(x + hole);
      if (hole > 0 && hole_last - hole_first >= 2) {
        visit(grid_.CellStart(row, first), grid_.CellStart(row, std::min(last, hole_first) + 1));
        visit(grid_.CellStart(row, std::max(first, hole_last)), grid_.CellStart(row, last + 1));
        continue;
      }
    }
    visit(grid_.CellStart(row, first), grid_.CellStart(row, last + 1));
  }
}

}  // namespace torvane
