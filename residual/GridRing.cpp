#include "residual/GridRing.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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
      step_(RingStep(ring_points)) {
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

namespace {

// The usable samples of a ring of sample positions (cos[k] * R + xf,
// sin[k] * R + yf), summed in their order.
template <typename Nodes>
RingValues SumRing(const NodeLattice& lattice, const Nodes& nodes, const double* cos,
                   const double* sin, std::int32_t count, double radius, double xf, double yf) {
  RingValues ring;
  for (std::int32_t k = 0; k < count; ++k) {
    const double value =
        InterpolateBilinear(lattice, nodes, cos[k] * radius + xf, sin[k] * radius + yf);
    if (IsBlank(value)) continue;
    ring.sum += value;
    ++ring.n;
  }
  return ring;
}

// The ring over nodes in memory, the hot loop of grid mode. It is built
// twice: for any x86-64 processor, and for those with AVX2 (floor in one
// instruction, more registers); the processor picks when the program
// starts. Both give the same numbers: no operation is fused or reordered.
[[gnu::target_clones("arch=x86-64-v3", "default")]] RingValues SumRingInMemory(
    const NodeLattice& lattice, const MemoryNodes& nodes, const double* cos, const double* sin,
    std::int32_t count, double radius, double xf, double yf) {
  return SumRing(lattice, nodes, cos, sin, count, radius, xf, yf);
}

}  // namespace

RingValues GridRing::Gather(double xf, double yf) const {
  const auto stored = static_cast<std::int32_t>(cos_.size());
  RingValues ring;
  grid_.WithNodes([&](const NodeLattice& lattice, const auto& nodes) {
    if constexpr (std::is_same_v<std::decay_t<decltype(nodes)>, MemoryNodes>) {
      ring = SumRingInMemory(lattice, nodes, cos_.data(), sin_.data(), stored, radius_, xf, yf);
    } else {
      ring = SumRing(lattice, nodes, cos_.data(), sin_.data(), stored, radius_, xf, yf);
    }
    // Directions beyond those worked out once are worked out sample by sample.
    for (std::int32_t k = stored; k < ring_points_; ++k) {
      double px = 0;
      double py = 0;
      SamplePosition(k, xf, yf, px, py);
      const double value = InterpolateBilinear(lattice, nodes, px, py);
      if (IsBlank(value)) continue;
      ring.sum += value;
      ++ring.n;
    }
  });
  return ring;
}

// Sample by sample, as Gather sums them, listing the usable ones.
RingValues GridRing::GatherWithQuality(double xf, double yf, RingMembers& members,
                                       RingQuality& quality) const {
  members.Clear();
  RingValues ring;
  grid_.WithNodes([&](const NodeLattice& lattice, const auto& nodes) {
    for (std::int32_t k = 0; k < ring_points_; ++k) {
      double px = 0;
      double py = 0;
      SamplePosition(k, xf, yf, px, py);
      const double value = InterpolateBilinear(lattice, nodes, px, py);
      if (IsBlank(value)) continue;
      ring.sum += value;
      ++ring.n;
      members.indices.push_back(static_cast<std::uint32_t>(k));
      members.values.push_back(value);
    }
  });
  quality = GridRingQuality(ring_points_, ring.n >= 1 ? ring.Mean() : 0.0, members);
  return ring;
}

}  // namespace torvane
