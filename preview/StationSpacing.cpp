#include "preview/StationSpacing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace torvane {
namespace {

// The stations sorted into square buckets, bucket (bx, by) holding
// order[first[b] .. first[b + 1]) for b = bx * ny + by.
class Buckets {
 public:
  Buckets(std::span<const double> x, std::span<const double> y, double size) : x_(x), y_(y) {
    x0_ = *std::min_element(x.begin(), x.end());
    y0_ = *std::min_element(y.begin(), y.end());
    const double wx = *std::max_element(x.begin(), x.end()) - x0_;
    const double wy = *std::max_element(y.begin(), y.end()) - y0_;
    // No more buckets than about four per station.
    const double fewest = std::sqrt(std::max(wx * wy, 0.0) / (4.0 * static_cast<double>(x.size()) + 1));
    size_ = std::max({size, fewest, 1e-9 * std::max(wx, wy), std::numeric_limits<double>::min()});
    nx_ = static_cast<int>(std::min(wx / size_, 1e6)) + 1;
    ny_ = static_cast<int>(std::min(wy / size_, 1e6)) + 1;
    first_.assign(static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_) + 1, 0);
    std::vector<std::uint32_t> bucket(x.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
      bucket[k] = static_cast<std::uint32_t>(Of(BucketX(x[k]), BucketY(y[k])));
      ++first_[bucket[k] + 1];
    }
    for (std::size_t b = 1; b < first_.size(); ++b) first_[b] += first_[b - 1];
    std::vector<std::uint32_t> next(first_.begin(), first_.end() - 1);
    order_.resize(x.size());
    for (std::size_t k = 0; k < x.size(); ++k) order_[next[bucket[k]]++] = static_cast<std::uint32_t>(k);
  }

  int BucketX(double x) const { return std::clamp(static_cast<int>((x - x0_) / size_), 0, nx_ - 1); }
  int BucketY(double y) const { return std::clamp(static_cast<int>((y - y0_) / size_), 0, ny_ - 1); }
  double size() const { return size_; }

  // Calls visit(k) for every station in the buckets of ring `ring` around
  // bucket (bx, by); false when the ring lies wholly outside.
  template <typename Visit>
  bool Ring(int bx, int by, int ring, Visit&& visit) const {
    if (bx - ring < 0 && by - ring < 0 && bx + ring >= nx_ && by + ring >= ny_) return false;
    for (int i = std::max(0, bx - ring); i <= std::min(nx_ - 1, bx + ring); ++i) {
      const bool side = i == bx - ring || i == bx + ring;
      for (int j = std::max(0, by - ring); j <= std::min(ny_ - 1, by + ring); ++j) {
        if (!side && j != by - ring && j != by + ring) continue;
        const std::size_t b = Of(i, j);
        for (std::uint32_t at = first_[b]; at < first_[b + 1]; ++at) visit(order_[at]);
      }
    }
    return true;
  }

 private:
  std::size_t Of(int bx, int by) const {
    return static_cast<std::size_t>(bx) * static_cast<std::size_t>(ny_) + static_cast<std::size_t>(by);
  }

  std::span<const double> x_, y_;
  double x0_ = 0, y0_ = 0, size_ = 1;
  int nx_ = 1, ny_ = 1;
  std::vector<std::uint32_t> first_;
  std::vector<std::uint32_t> order_;
};

}  // namespace

double MedianStationSpacing(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = std::min(x.size(), y.size());
  if (n < 2) return 0;
  x = x.first(n);
  y = y.first(n);
  const double wx = *std::max_element(x.begin(), x.end()) - *std::min_element(x.begin(), x.end());
  const double wy = *std::max_element(y.begin(), y.end()) - *std::min_element(y.begin(), y.end());
  const Buckets buckets(x, y, std::sqrt(std::max(wx * wy, wx * wx + wy * wy) / static_cast<double>(n)));
  std::vector<double> nearest(n, 0.0);
#pragma omp parallel for schedule(dynamic, 4096)
  for (std::size_t k = 0; k < n; ++k) {
    const int bx = buckets.BucketX(x[k]);
    const int by = buckets.BucketY(y[k]);
    double best = std::numeric_limits<double>::infinity();
    for (int ring = 0;; ++ring) {
      const bool inside = buckets.Ring(bx, by, ring, [&](std::uint32_t other) {
        const double d = std::hypot(x[other] - x[k], y[other] - y[k]);
        if (d > 0 && d < best) best = d;
      });
      // Stations beyond this ring are more than ring * size away.
      if (!inside || best <= ring * buckets.size()) break;
    }
    nearest[k] = best;
  }
  const auto apart = std::partition(nearest.begin(), nearest.end(), [](double d) { return std::isfinite(d); });
  const auto count = apart - nearest.begin();
  if (count == 0) return 0;
  const auto middle = nearest.begin() + count / 2;
  std::nth_element(nearest.begin(), middle, apart);
  return *middle;
}

void BlankBeyond(std::span<const double> x, std::span<const double> y, const SquareLattice& lattice,
                 double distance, std::span<float> nodes, float blank) {
  const std::size_t n = std::min(x.size(), y.size());
  if (nodes.size() < static_cast<std::size_t>(lattice.nx) * static_cast<std::size_t>(lattice.ny)) return;
  if (n == 0 || !(distance >= 0)) {
    std::fill(nodes.begin(), nodes.end(), blank);
    return;
  }
  const Buckets buckets(x.first(n), y.first(n), std::max(distance, lattice.cell));
  const int rings = static_cast<int>(std::ceil(distance / buckets.size()));
  const double limit = distance * distance;
#pragma omp parallel for schedule(dynamic, 8)
  for (int i = 0; i < lattice.nx; ++i) {
    const double nx = lattice.x0 + i * lattice.cell;
    for (int j = 0; j < lattice.ny; ++j) {
      const double ny = lattice.y0 + j * lattice.cell;
      const int bx = buckets.BucketX(nx);
      const int by = buckets.BucketY(ny);
      bool near = false;
      for (int ring = 0; ring <= rings + 1 && !near; ++ring) {
        buckets.Ring(bx, by, ring, [&](std::uint32_t k) {
          const double dx = x[k] - nx, dy = y[k] - ny;
          if (dx * dx + dy * dy <= limit) near = true;
        });
      }
      if (!near) nodes[static_cast<std::size_t>(i) * static_cast<std::size_t>(lattice.ny) + static_cast<std::size_t>(j)] = blank;
    }
  }
}

}  // namespace torvane
