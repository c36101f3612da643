#include "residual/RingIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace torvane {
namespace {

// A ring query visits about 2 * reach / cell rows; more rows cost more in
// row set-up than they save in points read.
constexpr double kMostRowsPerReach = 64;

// The cells number at most this many per point, plus a few, however the
// points lie.
constexpr double kCellsPerPoint = 2;
constexpr double kSpareCells = 1024;

// Loops over fewer points run on one thread: starting the others costs more.
constexpr std::int64_t kParallelFrom = 1 << 16;

// About one point per cell keeps both the rows a ring crosses and the points
// read beyond the ring's edges few.
double CellSize(double extent_x, double extent_y, std::size_t count, double reach) {
  const double n = static_cast<double>(std::max<std::size_t>(count, 1));
  double cell = std::sqrt(extent_x * extent_y / n);
  if (!(cell > 0)) cell = std::max(extent_x, extent_y) / n;  // points on a line
  if (reach > 0) cell = std::max(cell, 2 * reach / kMostRowsPerReach);
  // Widened until the cells are few enough: once one side is a single
  // cell (a survey far longer than wide), each widening shrinks the count
  // only by its square root.
  const double most_cells = kCellsPerPoint * n + kSpareCells;
  for (int widened = 0; widened < 64; ++widened) {
    const double cells = (extent_x / cell + 1) * (extent_y / cell + 1);
    if (!(cells > most_cells)) break;
    cell *= std::sqrt(cells / most_cells) * 1.01;
  }
  if (!(cell > 0) || !std::isfinite(cell)) cell = 1;  // one spot, or no finite extent
  return cell;
}

std::int64_t CellCount(double extent, double cell) {
  const double cells = std::floor(extent / cell) + 1;
  return cells >= 1 && cells < 1e9 ? static_cast<std::int64_t>(cells) : 1;
}

}  // namespace

RingIndex::RingIndex(const PointSet& points, double inner, double outer)
    : inner_(inner), outer_(outer), origin_x_(points.min_x), origin_y_(points.min_y) {
  FileIntoCells(points);
  x_.resize(order_.size() + kReadPast);
  y_.resize(order_.size() + kReadPast);
  cba_.resize(order_.size());
  const auto count = static_cast<std::int64_t>(order_.size());
  const SurveyPoint* const from = points.points.data();
#pragma omp parallel for schedule(static) if (count > kParallelFrom)
  for (std::int64_t k = 0; k < count; ++k) {
    const SurveyPoint& p = from[order_[static_cast<std::size_t>(k)]];
    x_[static_cast<std::size_t>(k)] = p.x;
    y_[static_cast<std::size_t>(k)] = p.y;
    cba_[static_cast<std::size_t>(k)] = p.cba;
  }
}

// Sizes the cells for the points, with at most about 64 rows across a
// distance of 2 * outer, and files every point: a counting sort by cell, so
// that the points of a cell keep their file order.
void RingIndex::FileIntoCells(const PointSet& points) {
  const double reach = outer_;
  const std::size_t count = points.points.size();
  if (count >= std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  const double extent_x = points.max_x - points.min_x;
  const double extent_y = points.max_y - points.min_y;
  cell_ = CellSize(extent_x, extent_y, count, reach);
  inverse_cell_ = 1 / cell_;
  columns_ = CellCount(extent_x, cell_);
  rows_ = CellCount(extent_y, cell_);
  if (!std::isfinite(extent_x) || !std::isfinite(extent_y)) columns_ = rows_ = 1;

  LargeVector<std::uint32_t> cell_of(count);
  const SurveyPoint* const from = points.points.data();
  const auto signed_count = static_cast<std::int64_t>(count);
#pragma omp parallel for schedule(static) if (signed_count > kParallelFrom)
  for (std::int64_t i = 0; i < signed_count; ++i) {
    const SurveyPoint& p = from[i];
    cell_of[static_cast<std::size_t>(i)] =
        static_cast<std::uint32_t>(Row(p.y) * columns_ + Column(p.x));
  }
  start_.assign(static_cast<std::size_t>(columns_ * rows_) + 1, 0);
  for (std::size_t i = 0; i < count; ++i) ++start_[cell_of[i] + 1];
  for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
  order_.resize(count);
  LargeVector<std::uint32_t> next(start_.begin(), start_.end() - 1);
  for (std::size_t i = 0; i < count; ++i) order_[next[cell_of[i]]++] = static_cast<std::uint32_t>(i);
}

void RingIndex::ScaleCba(int exponent) {
  for (double& value : cba_) value = std::ldexp(value, exponent);
}

}  // namespace torvane
