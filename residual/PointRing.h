#pragma once
// Point mode's ring: the survey points whose horizontal distance d from a
// point satisfies R - D - 1e-6 <= d <= R + D + 1e-6, on every side, the point
// itself included when the band reaches it. d is the correctly computed
// hypot of the coordinate differences, exactly as the definition reads; a
// squared-distance test settles the points far from either limit first.

#include <cmath>
#include <cstdint>
#include <vector>

#include "points/PointSet.h"
#include "residual/ExactSum.h"
#include "residual/FixedPointSum.h"
#include "residual/RingQuality.h"
#include "residual/RingIndex.h"

namespace torvane {

inline constexpr double kRingTolerance = 1e-6;

// Points gathered in the index's order lie scattered over the file's: their
// reads and writes are asked for this many rings ahead. A ring takes far
// longer than a memory read: a few rings ahead is enough.
inline constexpr std::size_t kRingPrefetchAhead = 4;

struct RingValues {
  double sum = 0;     // correctly rounded sum of the ring points' CBA, 2^-exponent times
  int n = 0;          // number of ring points
  int exponent = 0;   // the sum's scale: 0 but for CBA values near the double range
  // The ring's mean CBA (n >= 1). Scaling by a power of two changes no
  // rounding, so it is the mean an unbounded sum would give.
  double Mean() const { return exponent == 0 ? sum / n : std::ldexp(sum / n, exponent); }
};

class PointRing {
 public:
  // Indexes the points for rings of radius R and half-width D. Throws
  // std::bad_alloc when memory runs out.
  PointRing(const PointSet& points, double radius, double band);

  // The ring of the point at (x, y), in stored coordinates. `sum` is scratch
  // space of the caller's (one per thread), so that Gather allocates nothing
  // once it has warmed up and may run on several threads at once.
  RingValues Gather(double x, double y, ExactSum& sum) const;
  // The same ring, and its quality as far as `needs` asks. `members` is the
  // caller's scratch space (one per thread), like `sum`.
  RingValues GatherWithQuality(double x, double y, ExactSum& sum, RingMembers& members,
                               const QualityNeeds& needs, RingQuality& quality) const;

  // Answers rings of radius R and half-width D from now on, on the same
  // index: a sweep of radii indexes the points once, for its widest ring.
  void SetLimits(double radius, double band);

  // The point indices with neighbours next to each other: rings gathered in
  // this order find much of what they read in the cache.
  const std::vector<std::uint32_t>& order() const { return index_.order(); }

 private:
  bool InBand(double dx, double dy) const;
  // With plain limits, a squared distance settles all but the points
  // within a hair of a limit: surely in the band, or surely out of it.
  bool SurelyIn(double squared) const {
    return (squared <= upper_sq_inside_) & (squared >= lower_sq_inside_);
  }
  bool SurelyOut(double squared) const {
    return (squared > upper_sq_outside_) | (squared < lower_sq_outside_);
  }
  // With kMembers, the ring points are also listed in `members`.
  template <bool kPlainLimits, bool kFixedPoint, bool kMembers = false>
  RingValues GatherWith(double x, double y, ExactSum& sum, RingMembers* members = nullptr) const;
  RingValues GatherCommonCase(double x, double y, ExactSum& sum) const;
  template <bool kQuadrants, bool kMembers>
  RingValues GatherSplitWith(double x, double y, unsigned& quadrants, RingMembers* members,
                             std::size_t* listed) const;
  RingValues GatherSplitMembers(double x, double y, RingMembers& members,
                                std::size_t& listed) const;
  RingValues GatherSplitCase(double x, double y) const;
  RingValues GatherSplitQuadrants(double x, double y, unsigned& quadrants) const;
  RingValues GatherMembersCommonCase(double x, double y, ExactSum& sum,
                                     RingMembers& members) const;

  double lower_ = 0;  // R - D - tolerance
  double upper_ = 0;  // R + D + tolerance
  // Squared limits widened (outside) and narrowed (inside) a little: a point
  // outside the widened band is out, one inside the narrowed band is in,
  // whatever the rounding; only the rest need the exact distance.
  double lower_sq_outside_ = 0, upper_sq_outside_ = 0;
  double lower_sq_inside_ = 0, upper_sq_inside_ = 0;
  // True when both limits lie well inside the double range, so that the
  // squared tests alone settle every point they can settle, even a squared
  // distance that overflowed or underflowed.
  bool plain_limits_ = false;
  RingIndex index_;
  // 0, or the power of two by which the index's CBA values were scaled down
  // because a ring's sum of them could leave the double range.
  int sum_exponent_;
  // The CBA values in the index's order as whole numbers of units, when the
  // survey's values allow it: then a ring sum is a plain integer sum.
  FixedPointScale scale_;
  // Those units as 128-bit integers, or, when they split (the case of every
  // real survey), as high and low 64-bit parts, followed by kReadPast zeros.
  std::vector<FixedUnits> units_;
  LargeVector<std::int64_t> high_units_, low_units_;
};

}  // namespace torvane
