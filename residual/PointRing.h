#pragma once
// Point mode's ring: the survey points whose horizontal distance d from a
// point satisfies R - D - 1e-6 <= d <= R + D + 1e-6, on every side, the point
// itself included when the band reaches it. d is the correctly computed
// hypot of the coordinate differences, exactly as the definition reads; a
// squared-distance test settles the points far from either limit first.

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "points/PointSet.h"
#include "residual/ExactSum.h"
#include "residual/Lanes.h"
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

// One band's limits, as every test of a point against it reads them.
struct RingBand {
  double lower = 0;  // R - D - tolerance
  double upper = 0;  // R + D + tolerance
  // Squared limits widened (outside) and narrowed (inside) a little: a point
  // outside the widened band is out, one inside the narrowed band is in,
  // whatever the rounding; only the rest need the exact distance.
  double lower_sq_outside = 0, upper_sq_outside = 0;
  double lower_sq_inside = 0, upper_sq_inside = 0;
  // True when both limits lie well inside the double range, so that the
  // squared tests alone settle every point they can settle, even a squared
  // distance that overflowed or underflowed.
  bool plain = false;

  static RingBand Of(double radius, double band);
  // With plain limits, a squared distance settles all but the points
  // within a hair of a limit: surely in the band, or surely out of it.
  bool SurelyIn(double squared) const {
    return (squared <= upper_sq_inside) & (squared >= lower_sq_inside);
  }
  bool SurelyOut(double squared) const {
    return (squared > upper_sq_outside) | (squared < lower_sq_outside);
  }
  // The exact test: lower <= hypot(dx, dy) <= upper.
  bool Holds(double dx, double dy) const;
};

// Scratch of a gather of several bands at once, one per thread.
struct BandScratch {
  std::vector<std::int64_t> high, low, n, quadrants;  // per band, kLanes lanes each
  std::vector<std::int64_t> near_high, near_low, near_n;  // per band, near a limit
  std::vector<unsigned> near_quadrants;
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

  // The sweep's rings: several bands round one point from one pass over the
  // candidates of them all, each band's ring the very one Gather gives at
  // its radius and band, with the quadrants holding its points (bit 0 for
  // dx > 0 and dy > 0, then counter-clockwise). Possible when every band's
  // limits are plain and the CBA units split (every real survey); the
  // index's limits must first be laid round the bands by CoverBands, which
  // SetLimits undoes.
  bool GathersBandsAtOnce(std::span<const RingBand> bands) const;
  void CoverBands(std::span<const RingBand> bands);
  void GatherBands(double x, double y, std::span<const RingBand> bands, BandScratch& scratch,
                   RingValues* rings, unsigned* quadrants) const;
  // The quality of one band's ring round (x, y), as `needs` asks; `mean` is
  // the ring's mean.
  RingQuality BandQuality(double x, double y, const RingBand& band, double mean,
                          RingMembers& members, const QualityNeeds& needs) const;

  // The point indices with neighbours next to each other: rings gathered in
  // this order find much of what they read in the cache.
  const std::vector<std::uint32_t>& order() const { return index_.order(); }

 private:
  void GatherBandsLanes(double x, double y, std::span<const RingBand> bands, BandScratch& scratch,
                        RingValues* rings, unsigned* quadrants) const;
  bool InBand(double dx, double dy) const { return band_.Holds(dx, dy); }
  bool SurelyIn(double squared) const { return band_.SurelyIn(squared); }
  bool SurelyOut(double squared) const { return band_.SurelyOut(squared); }
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
  void LoadCandidates(std::int64_t k, double x, double y, Doubles& dx, Doubles& dy,
                      Doubles& squared, Longs& high_k, Longs& low_k) const;
  RingQuality QualityOf(double x, double y, double mean, std::span<const std::uint32_t> ring_points,
                        RingMembers& members, const QualityNeeds& needs) const;
  RingValues GatherSplitQuadrants(double x, double y, unsigned& quadrants) const;
  RingValues GatherMembersCommonCase(double x, double y, ExactSum& sum,
                                     RingMembers& members) const;

  RingBand band_;
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
