#include "points/StationSpacing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace torvane {
namespace {

// The stations filed into square cells of about one station each (counting
// sort: cell k holds order[start[k] .. start[k + 1])).
struct Buckets {
  double x0 = 0, y0 = 0, size = 1;
  std::int64_t nx = 1, ny = 1;
  std::vector<std::uint32_t> start;
  std::vector<std::uint32_t> order;

  std::int64_t Column(double x) const {
    return std::clamp<std::int64_t>(static_cast<std::int64_t>((x - x0) / size), 0, nx - 1);
  }
  std::int64_t Row(double y) const {
    return std::clamp<std::int64_t>(static_cast<std::int64_t>((y - y0) / size), 0, ny - 1);
  }
};

Buckets FileStations(const PointSet& points) {
  Buckets b;
  const std::size_t n = points.points.size();
  const double width = points.max_x - points.min_x;
  const double height = points.max_y - points.min_y;
  const double side = std::max(width, height);
  const double area = std::max(width * height, side * side / static_cast<double>(n));
  b.size = area > 0 ? std::sqrt(area / static_cast<double>(n)) : 1.0;
  b.x0 = points.min_x;
  b.y0 = points.min_y;
  b.nx = static_cast<std::int64_t>(width / b.size) + 1;
  b.ny = static_cast<std::int64_t>(height / b.size) + 1;
  const auto cells = static_cast<std::size_t>(b.nx * b.ny);
  b.start.assign(cells + 1, 0);
  std::vector<std::uint32_t> cell_of(n);
  for (std::size_t i = 0; i < n; ++i) {
    const SurveyPoint& p = points.points[i];
    cell_of[i] = static_cast<std::uint32_t>(b.Column(p.x) * b.ny + b.Row(p.y));
    ++b.start[cell_of[i] + 1];
  }
  for (std::size_t k = 0; k < cells; ++k) b.start[k + 1] += b.start[k];
  b.order.resize(n);
  std::vector<std::uint32_t> next(b.start.begin(), b.start.end() - 1);
  for (std::size_t i = 0; i < n; ++i) b.order[next[cell_of[i]]++] = static_cast<std::uint32_t>(i);
  return b;
}

// Station i's nearest other station: rings of cells outwards, until no
// closer station can lie beyond the ring searched.
double Nearest(const PointSet& points, const Buckets& b, std::size_t i) {
  const SurveyPoint& p = points.points[i];
  const std::int64_t c = b.Column(p.x);
  const std::int64_t r = b.Row(p.y);
  double best = std::numeric_limits<double>::infinity();
  const std::int64_t reach = std::max(b.nx, b.ny);
  for (std::int64_t k = 0; k <= reach; ++k) {
    for (std::int64_t cc = c - k; cc <= c + k; ++cc) {
      if (cc < 0 || cc >= b.nx) continue;
      const bool edge_column = cc == c - k || cc == c + k;
      for (std::int64_t rr = r - k; rr <= r + k; rr += edge_column ? 1 : 2 * k) {
        if (rr < 0 || rr >= b.ny) continue;
        const auto cell = static_cast<std::size_t>(cc * b.ny + rr);
        for (std::uint32_t s = b.start[cell]; s < b.start[cell + 1]; ++s) {
          const std::uint32_t j = b.order[s];
          if (j == i) continue;
          best = std::min(best, std::hypot(points.points[j].x - p.x, points.points[j].y - p.y));
        }
        if (k == 0) break;
      }
    }
    // Every station beyond ring k lies at least k cells away.
    if (best <= static_cast<double>(k) * b.size) break;
  }
  return best;
}

}  // namespace

double MedianNearestSpacing(const PointSet& points) {
  const std::size_t n = points.points.size();
  if (n < 2) return std::numeric_limits<double>::quiet_NaN();
  const Buckets buckets = FileStations(points);
  std::vector<double> nearest(n);
  for (std::size_t i = 0; i < n; ++i) nearest[i] = Nearest(points, buckets, i);
  const auto middle = nearest.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(nearest.begin(), middle, nearest.end());
  if (n % 2 == 1) return *middle;
  return (*middle + *std::max_element(nearest.begin(), middle)) / 2;
}

}  // namespace torvane
