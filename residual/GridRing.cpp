#include "residual/GridRing.h"

#include <algorithm>
#include <cmath>

#include "residual/RingDirections.h"

namespace torvane {
namespace {

// Directions beyond this many are worked out sample by sample, so that an
// absurd N cannot claim absurd memory; they give the same numbers.
constexpr std::int32_t kMaxStoredDirections = 1 << 20;

}  // namespace

GridRing::GridRing(const TGridImport& grid, double radius, std::int32_t ring_points,
                   bool use_interpolated_cba)
    : grid_(grid),
      radius_(radius),
      ring_points_(std::max(ring_points, 0)),
      use_interpolated_cba_(use_interpolated_cba),
      step_(RingStep(ring_points)),
      kernels_(FastestBilinearKernels()) {
  const std::int32_t stored = std::min(ring_points_, kMaxStoredDirections);
  cos_.resize(static_cast<std::size_t>(stored));
  sin_.resize(static_cast<std::size_t>(stored));
  for (std::int32_t k = 0; k < stored; ++k) {
    const double a = RingAngle(k, step_);
    cos_[static_cast<std::size_t>(k)] = std::cos(a);
    sin_[static_cast<std::size_t>(k)] = std::sin(a);
  }
}

double GridRing::CentreValue(double xf, double yf, double own_cba) const {
  if (!use_interpolated_cba_) return own_cba;
  const double value = grid_.Interpolate(xf, yf);
  return IsBlank(value) ? own_cba : value;
}

void GridRing::SamplePosition(std::int32_t k, double xf, double yf, double& px,
                              double& py) const {
  double c = 0;
  double s = 0;
  if (k < static_cast<std::int32_t>(cos_.size())) {
    c = cos_[static_cast<std::size_t>(k)];
    s = sin_[static_cast<std::size_t>(k)];
  } else {
    const double a = RingAngle(k, step_);
    c = std::cos(a);
    s = std::sin(a);
  }
  px = c * radius_ + xf;
  py = s * radius_ + yf;
}

// The ring in batches of samples, each batch's positions worked out, then
// interpolated together: use(first, count, value) for the values of samples
// first to first + count - 1, blank where unusable.
template <typename Use>
void GridRing::ForEachBatch(double xf, double yf, Use&& use) const {
  const auto stored = static_cast<std::int32_t>(cos_.size());
  grid_.WithNodes([&](const NodeLattice& lattice, const auto& nodes) {
    BilinearBatch batch;
    alignas(32) double px[kBilinearBatch];
    alignas(32) double py[kBilinearBatch];
    alignas(32) double value[kBilinearBatch];
    for (std::int32_t first = 0; first < ring_points_; first += kBilinearBatch) {
      const int count =
          static_cast<int>(std::min<std::int32_t>(kBilinearBatch, ring_points_ - first));
      const int from_table = static_cast<int>(std::clamp<std::int32_t>(stored - first, 0, count));
      const double* cos = cos_.data() + std::min(first, stored);
      const double* sin = sin_.data() + std::min(first, stored);
      for (int i = 0; i < from_table; ++i) {
        px[i] = cos[i] * radius_ + xf;
        py[i] = sin[i] * radius_ + yf;
      }
      for (int i = from_table; i < count; ++i) SamplePosition(first + i, xf, yf, px[i], py[i]);
      InterpolateBatch(kernels_, lattice, nodes, px, py, count, batch, value);
      use(first, count, value);
    }
  });
}

namespace {

// The usable values among `count`, added in their order.
void AddUsable(const double* value, int count, RingValues& ring) {
  double sum = ring.sum;
  int n = ring.n;
  for (int i = 0; i < count; ++i) {
    if (IsBlank(value[i])) continue;
    sum += value[i];
    ++n;
  }
  ring.sum = sum;
  ring.n = n;
}

}  // namespace

RingValues GridRing::Gather(double xf, double yf) const {
  RingValues ring;
  ForEachBatch(xf, yf,
               [&](std::int32_t, int count, const double* value) { AddUsable(value, count, ring); });
  return ring;
}

// As Gather sums them, listing the usable samples.
RingValues GridRing::GatherWithQuality(double xf, double yf, RingMembers& members,
                                       RingQuality& quality) const {
  members.Clear();
  RingValues ring;
  ForEachBatch(xf, yf, [&](std::int32_t first, int count, const double* value) {
    AddUsable(value, count, ring);
    for (int i = 0; i < count; ++i) {
      if (IsBlank(value[i])) continue;
      members.indices.push_back(static_cast<std::uint32_t>(first + i));
      members.values.push_back(value[i]);
    }
  });
  quality = GridRingQuality(ring_points_, ring.n >= 1 ? ring.Mean() : 0.0, members);
  return ring;
}

}  // namespace torvane
