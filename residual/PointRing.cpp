#include "residual/PointRing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "residual/Lanes.h"

namespace torvane {
namespace {

// Far more than the relative rounding error of a squared distance.
constexpr double kSquaredMargin = 1e-9;

// Within this range a squared distance carries its full precision: no
// overflow, no underflow into the subnormal numbers.
constexpr double kSmallestSquare = 1e-290;
constexpr double kLargestSquare = 1e290;

double SquaredOrNegative(double limit, double factor) {
  return limit > 0 ? limit * limit * factor : -1;
}

// CBA values so large that the sum of a ring could leave the double range
// are summed 2^64 times smaller. Answers the exponent that scales the sums
// back: 0 for any real survey.
int ScaleDownHugeValues(RingIndex& index, std::size_t count) {
  constexpr int kExponent = 64;
  double largest = 0;
  for (std::size_t k = 0; k < count; ++k) largest = std::max(largest, std::fabs(index.cba()[k]));
  if (largest * static_cast<double>(count) < 0x1p1020) return 0;
  index.ScaleCba(-kExponent);
  return kExponent;
}

}  // namespace

PointRing::PointRing(const PointSet& points, double radius, double band)
    : index_(points, radius - band - kRingTolerance, radius + band + kRingTolerance),
      sum_exponent_(ScaleDownHugeValues(index_, points.points.size())),
      scale_(std::span(index_.cba(), points.points.size()), points.points.size()) {
  SetLimits(radius, band);
  if (!scale_.usable()) return;
  const std::size_t count = points.points.size();
  if (scale_.splits()) {
    high_units_.assign(count + RingIndex::kReadPast, 0);
    low_units_.assign(count + RingIndex::kReadPast, 0);
    const FixedUnits low_mask = (FixedUnits{1} << scale_.split_bits()) - 1;
    const auto signed_count = static_cast<std::int64_t>(count);
#pragma omp parallel for schedule(static) if (signed_count > (1 << 16))
    for (std::int64_t k = 0; k < signed_count; ++k) {
      const FixedUnits units = scale_.ToUnits(index_.cba()[k]);
      high_units_[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(units >> scale_.split_bits());
      low_units_[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(units & low_mask);
    }
  } else {
    units_.resize(count);
    for (std::size_t k = 0; k < count; ++k) units_[k] = scale_.ToUnits(index_.cba()[k]);
  }
}

RingBand RingBand::Of(double radius, double band) {
  RingBand limits;
  limits.lower = radius - band - kRingTolerance;
  limits.upper = radius + band + kRingTolerance;
  limits.lower_sq_outside = SquaredOrNegative(limits.lower, 1 - kSquaredMargin);
  limits.upper_sq_outside = SquaredOrNegative(limits.upper, 1 + kSquaredMargin);
  limits.lower_sq_inside = SquaredOrNegative(limits.lower, 1 + kSquaredMargin);
  limits.upper_sq_inside = SquaredOrNegative(limits.upper, 1 - kSquaredMargin);
  limits.plain = (limits.lower <= 0 || limits.lower > 1e-140) && limits.upper > 1e-140 &&
                 limits.upper < 1e140;
  return limits;
}

bool RingBand::Holds(double dx, double dy) const {
  const double squared = dx * dx + dy * dy;
  if (squared > kSmallestSquare && squared < kLargestSquare) {
    if (squared > upper_sq_outside || squared < lower_sq_outside) return false;
    if (squared <= upper_sq_inside && squared >= lower_sq_inside) return true;
  }
  const double d = std::hypot(dx, dy);
  return lower <= d && d <= upper;
}

void PointRing::SetLimits(double radius, double band) {
  band_ = RingBand::Of(radius, band);
  index_.SetLimits(band_.lower, band_.upper);
}

template <bool kPlainLimits, bool kFixedPoint, bool kMembers>
RingValues PointRing::GatherWith(double x, double y, ExactSum& sum, RingMembers* members) const {
  RingValues ring;
  ring.exponent = sum_exponent_;
  sum.Reset();
  FixedUnits units = 0;
  std::int64_t high = 0, low = 0;
  const bool split = scale_.splits();
  const FixedUnits* point_units = units_.data();
  const std::int64_t* high_units = high_units_.data();
  const std::int64_t* low_units = low_units_.data();
  const double* xs = index_.x();
  const double* ys = index_.y();
  const double* cbas = index_.cba();
  // The members are written without a branch (whether a point is in the
  // ring cannot be foreseen): every candidate is written, and the next one
  // overwrites it unless it was in the ring.
  std::uint32_t* listed = nullptr;
  std::size_t count = 0;
  index_.ForEachStretch(x, y, [&](std::uint32_t begin, std::uint32_t end) {
    if constexpr (kMembers) {
      std::vector<std::uint32_t>& room = members->room;
      if (room.size() < count + (end - begin)) room.resize(2 * (count + (end - begin)));
      listed = room.data();
    }
    for (std::uint32_t k = begin; k < end; ++k) {
      const double dx = xs[k] - x;
      const double dy = ys[k] - y;
      bool in_band;
      if constexpr (kPlainLimits) {
        // The squared tests settle all but the points within a hair of a
        // limit; only those need the exact distance.
        const double squared = dx * dx + dy * dy;
        const bool surely_in = SurelyIn(squared);
        const bool surely_out = SurelyOut(squared);
        in_band = surely_in;
        if (!(surely_in | surely_out)) [[unlikely]] in_band = InBand(dx, dy);
      } else {
        in_band = InBand(dx, dy);
      }
      if constexpr (kFixedPoint) {
        if (split) {
          high += in_band ? high_units[k] : 0;
          low += in_band ? low_units[k] : 0;
        } else {
          units += in_band ? point_units[k] : FixedUnits{0};
        }
      } else if (in_band) {
        sum.Add(cbas[k]);
      }
      ring.n += in_band;
      if constexpr (kMembers) {
        listed[count] = k;
        count += in_band;
      }
    }
  });
  if constexpr (kMembers) members->indices.assign(listed, listed + count);
  if constexpr (kFixedPoint) {
    ring.sum = scale_.ToDouble(split ? scale_.Joined(high, low) : units);
  } else {
    ring.sum = sum.Result();
  }
  return ring;
}

// The case of every real survey (limits well inside the double range, CBA
// values that sum exactly as integers), built twice: for any x86-64
// processor and for those with AVX2; the processor picks when the program
// starts. Both give the same numbers: no operation is fused or reordered.
[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] RingValues
PointRing::GatherCommonCase(double x, double y, ExactSum& sum) const {
  return GatherWith<true, true>(x, y, sum);
}

// The common case when the units split: the candidates of a stretch are
// tested four at a time (in one AVX2 register where the processor has it,
// in two SSE2 registers otherwise), each lane's sums held as plain 64-bit
// integers; the few candidates within a hair of a limit are settled one by
// one afterwards by the exact distance. Candidates read past a stretch's
// end (the index keeps kReadPast spare ones) are discarded. The same
// numbers as GatherWith, whatever the processor: the squared distances are
// rounded alike, and integer sums do not depend on their order.
static_assert(kLanes <= static_cast<std::int64_t>(RingIndex::kReadPast));

// Candidates k..k + 3 in lanes: their offsets from (x, y), squared
// distances and CBA units.
inline void PointRing::LoadCandidates(std::int64_t k, double x, double y, Doubles& dx, Doubles& dy,
                                      Doubles& squared, Longs& high_k, Longs& low_k) const {
  Doubles px, py;
  Load(index_.x() + k, px);
  Load(index_.y() + k, py);
  Load(high_units_.data() + k, high_k);
  Load(low_units_.data() + k, low_k);
  dx = px - x;
  dy = py - y;
  squared = dx * dx + dy * dy;
}

// With kQuadrants, also the quadrants round (x, y) that hold a ring point,
// as PointRingQuality's four-quadrant test counts them: bit 0 for dx > 0 and
// dy > 0, then counter-clockwise. With kMembers, the ring points are listed
// in `members->room` (their count in `listed`) in the index's order: every
// lane is written and the next one overwrites it unless it was in the ring;
// a stretch with a candidate near a limit is listed again one by one.
template <bool kQuadrants, bool kMembers>
RingValues PointRing::GatherSplitWith(double x, double y, unsigned& quadrants,
                                      RingMembers* members, std::size_t* listed) const {
  const double* xs = index_.x();
  const double* ys = index_.y();
  const std::int64_t* high_units = high_units_.data();
  const std::int64_t* low_units = low_units_.data();
  const double lower_in = band_.lower_sq_inside, upper_in = band_.upper_sq_inside;
  const double lower_out = band_.lower_sq_outside, upper_out = band_.upper_sq_outside;
  const Longs lane = {0, 1, 2, 3};
  Longs high_lanes = {}, low_lanes = {}, n_lanes = {};
  Longs east_north = {}, west_north = {}, west_south = {}, east_south = {};
  std::int64_t high = 0, low = 0, n = 0;  // the candidates near a limit
  unsigned near_quadrants = 0;
  std::uint32_t* list = nullptr;
  std::size_t count = 0;
  index_.ForEachStretch(x, y, [&](std::uint32_t begin, std::uint32_t end) {
    const std::int64_t last = end;
    Longs near = {};
    const std::size_t stretch_start = count;
    if constexpr (kMembers) {
      std::vector<std::uint32_t>& room = members->room;
      const std::size_t most = count + (end - begin) + kLanes;
      if (room.size() < most) room.resize(2 * most);
      list = room.data();
    }
    for (std::int64_t k = begin; k < last; k += kLanes) {
      Doubles dx, dy, squared;
      Longs high_k, low_k;
      LoadCandidates(k, x, y, dx, dy, squared, high_k, low_k);
      const Longs live = (k + lane) < last;
      // SurelyIn and SurelyOut, four at a time.
      const Longs surely_in = live & (squared <= upper_in) & (squared >= lower_in);
      const Longs surely_out = (squared > upper_out) | (squared < lower_out);
      high_lanes += high_k & surely_in;
      low_lanes += low_k & surely_in;
      n_lanes -= surely_in;  // -1 in each lane that holds a ring point
      near |= live & ~(surely_in | surely_out);
      if constexpr (kQuadrants) {
        const Longs east = dx > 0, west = dx < 0, north = dy > 0, south = dy < 0;
        east_north |= surely_in & east & north;
        west_north |= surely_in & west & north;
        west_south |= surely_in & west & south;
        east_south |= surely_in & east & south;
      }
      if constexpr (kMembers) {
        for (std::int64_t j = 0; j < kLanes; ++j) {
          list[count] = static_cast<std::uint32_t>(k + j);
          count -= static_cast<std::size_t>(surely_in[j]);
        }
      }
    }
    if (((near[0] | near[1]) | (near[2] | near[3])) == 0) [[likely]] return;
    count = stretch_start;
    for (std::int64_t k = begin; k < last; ++k) {
      const double dx = xs[k] - x;
      const double dy = ys[k] - y;
      const double squared = dx * dx + dy * dy;
      const bool surely_in = SurelyIn(squared);
      const bool near_in = !surely_in && !SurelyOut(squared) && InBand(dx, dy);
      if constexpr (kMembers) {
        list[count] = static_cast<std::uint32_t>(k);
        count += surely_in | near_in;
      }
      if (!near_in) continue;
      high += high_units[k];
      low += low_units[k];
      ++n;
      if constexpr (kQuadrants) near_quadrants |= QuadrantBits(dx, dy);
    }
  });
  if constexpr (kMembers) *listed = count;
  if constexpr (kQuadrants) {
    const auto any = [](const Longs& lanes) {
      return static_cast<unsigned>(((lanes[0] | lanes[1]) | (lanes[2] | lanes[3])) != 0);
    };
    quadrants = near_quadrants | any(east_north) | any(west_north) << 1 |
                any(west_south) << 2 | any(east_south) << 3;
  }
  RingValues ring;
  ring.exponent = sum_exponent_;
  ring.n = static_cast<int>(n + LaneSum(n_lanes));
  ring.sum = scale_.ToDouble(scale_.Joined(high + LaneSum(high_lanes), low + LaneSum(low_lanes)));
  return ring;
}

[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] RingValues
PointRing::GatherSplitCase(double x, double y) const {
  unsigned unused = 0;
  return GatherSplitWith<false, false>(x, y, unused, nullptr, nullptr);
}

[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] RingValues
PointRing::GatherSplitQuadrants(double x, double y, unsigned& quadrants) const {
  return GatherSplitWith<true, false>(x, y, quadrants, nullptr, nullptr);
}

[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] RingValues
PointRing::GatherSplitMembers(double x, double y, RingMembers& members, std::size_t& listed) const {
  unsigned unused = 0;
  return GatherSplitWith<false, true>(x, y, unused, &members, &listed);
}

// The common case again, listing the ring's members.
[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] RingValues
PointRing::GatherMembersCommonCase(double x, double y, ExactSum& sum,
                                   RingMembers& members) const {
  return GatherWith<true, true, true>(x, y, sum, &members);
}

RingValues PointRing::Gather(double x, double y, ExactSum& sum) const {
  if (band_.plain) {
    if (scale_.splits()) return GatherSplitCase(x, y);
    return scale_.usable() ? GatherCommonCase(x, y, sum) : GatherWith<true, false>(x, y, sum);
  }
  return scale_.usable() ? GatherWith<false, true>(x, y, sum) : GatherWith<false, false>(x, y, sum);
}

RingQuality PointRing::QualityOf(double x, double y, double mean,
                                 std::span<const std::uint32_t> ring_points, RingMembers& members,
                                 const QualityNeeds& needs) const {
  PointRingView view;
  view.x = x;
  view.y = y;
  view.xs = index_.x();
  view.ys = index_.y();
  view.values = index_.cba();
  view.exponent = sum_exponent_;
  view.mean = mean;
  view.ring = ring_points;
  return PointRingQuality(view, members, needs);
}

RingValues PointRing::GatherWithQuality(double x, double y, ExactSum& sum, RingMembers& members,
                                        const QualityNeeds& needs, RingQuality& quality) const {
  if (!needs.exact_gap && !needs.spread && band_.plain && scale_.splits()) {
    // Most rings hold points in all four quadrants: then the gap is at most
    // 180 degrees and the members need no listing.
    unsigned quadrants = 0;
    const RingValues ring = GatherSplitQuadrants(x, y, quadrants);
    if (quadrants == kAllQuadrants) {
      quality = RingQuality{};
      quality.gap = kFullCircle / 2;
      return ring;
    }
  }
  RingValues ring;
  std::span<const std::uint32_t> ring_points;
  if (band_.plain && scale_.splits()) {
    std::size_t listed = 0;
    ring = GatherSplitMembers(x, y, members, listed);
    ring_points = std::span(members.room.data(), listed);
  } else {
    members.Clear();
    if (band_.plain) {
      ring = scale_.usable() ? GatherMembersCommonCase(x, y, sum, members)
                             : GatherWith<true, false, true>(x, y, sum, &members);
    } else {
      ring = scale_.usable() ? GatherWith<false, true, true>(x, y, sum, &members)
                             : GatherWith<false, false, true>(x, y, sum, &members);
    }
    ring_points = members.indices;
  }
  quality = QualityOf(x, y, ring.n >= 1 ? ring.Mean() : 0.0, ring_points, members, needs);
  return ring;
}

bool PointRing::GathersBandsAtOnce(std::span<const RingBand> bands) const {
  return scale_.splits() &&
         std::all_of(bands.begin(), bands.end(), [](const RingBand& band) { return band.plain; });
}

void PointRing::CoverBands(std::span<const RingBand> bands) {
  double inner = bands.front().lower, outer = bands.front().upper;
  for (const RingBand& band : bands) {
    inner = std::min(inner, band.lower);
    outer = std::max(outer, band.upper);
  }
  index_.SetLimits(inner, outer);
}

// GatherSplitWith's lanes for every band at once: each candidate's squared
// distance is worked out once and tested against each band's limits, each
// band's sums held in lanes of its own. Integer sums do not depend on their
// order, so each band's ring is the one its own gather gives.
[[gnu::target_clones("arch=x86-64-v3", "default"), gnu::flatten]] void PointRing::GatherBandsLanes(
    double x, double y, std::span<const RingBand> bands, BandScratch& scratch, RingValues* rings,
    unsigned* quadrants) const {
  const std::size_t count = bands.size();
  const auto lanes = static_cast<std::size_t>(kLanes);
  scratch.high.assign(count * lanes, 0);
  scratch.low.assign(count * lanes, 0);
  scratch.n.assign(count * lanes, 0);
  scratch.quadrants.assign(count * lanes, 0);
  scratch.near_high.assign(count, 0);
  scratch.near_low.assign(count, 0);
  scratch.near_n.assign(count, 0);
  scratch.near_quadrants.assign(count, 0);
  std::int64_t* high_lanes = scratch.high.data();
  std::int64_t* low_lanes = scratch.low.data();
  std::int64_t* n_lanes = scratch.n.data();
  std::int64_t* quadrant_lanes = scratch.quadrants.data();
  // The lanes of band b, read and written back where they lie (unaligned).
  const auto update = [](std::int64_t* held_lanes, const Longs& change, bool add) {
    Longs held;
    Load(held_lanes, held);
    held = add ? held + change : held | change;
    std::memcpy(held_lanes, &held, sizeof held);
  };
  const RingBand* band = bands.data();
  const double* xs = index_.x();
  const double* ys = index_.y();
  const std::int64_t* high_units = high_units_.data();
  const std::int64_t* low_units = low_units_.data();
  const Longs lane = {0, 1, 2, 3};
  index_.ForEachStretch(x, y, [&](std::uint32_t begin, std::uint32_t end) {
    const std::int64_t last = end;
    Longs near = {};
    for (std::int64_t k = begin; k < last; k += kLanes) {
      Doubles dx, dy, squared;
      Longs high_k, low_k;
      LoadCandidates(k, x, y, dx, dy, squared, high_k, low_k);
      const Longs live = (k + lane) < last;
      const Longs east = dx > 0, west = dx < 0, north = dy > 0, south = dy < 0;
      const Longs quadrant =
          (east & north & 1) | (west & north & 2) | (west & south & 4) | (east & south & 8);
      for (std::size_t b = 0; b < count; ++b) {
        const Longs surely_in =
            live & (squared <= band[b].upper_sq_inside) & (squared >= band[b].lower_sq_inside);
        const Longs surely_out =
            (squared > band[b].upper_sq_outside) | (squared < band[b].lower_sq_outside);
        update(high_lanes + b * lanes, high_k & surely_in, true);
        update(low_lanes + b * lanes, low_k & surely_in, true);
        update(n_lanes + b * lanes, -surely_in, true);
        update(quadrant_lanes + b * lanes, quadrant & surely_in, false);
        near |= live & ~(surely_in | surely_out);
      }
    }
    if (LaneOr(near) == 0) [[likely]] return;
    for (std::int64_t k = begin; k < last; ++k) {
      const double dx = xs[k] - x;
      const double dy = ys[k] - y;
      const double squared = dx * dx + dy * dy;
      for (std::size_t b = 0; b < count; ++b) {
        if (band[b].SurelyIn(squared) || band[b].SurelyOut(squared) || !band[b].Holds(dx, dy)) {
          continue;
        }
        scratch.near_high[b] += high_units[k];
        scratch.near_low[b] += low_units[k];
        ++scratch.near_n[b];
        scratch.near_quadrants[b] |= QuadrantBits(dx, dy);
      }
    }
  });
  const auto lane_sum = [](const std::int64_t* held_lanes) {
    Longs held;
    Load(held_lanes, held);
    return LaneSum(held);
  };
  for (std::size_t b = 0; b < count; ++b) {
    RingValues& ring = rings[b];
    ring.exponent = sum_exponent_;
    ring.n = static_cast<int>(scratch.near_n[b] + lane_sum(n_lanes + b * lanes));
    ring.sum = scale_.ToDouble(scale_.Joined(scratch.near_high[b] + lane_sum(high_lanes + b * lanes),
                                             scratch.near_low[b] + lane_sum(low_lanes + b * lanes)));
    Longs filled;
    Load(quadrant_lanes + b * lanes, filled);
    quadrants[b] = scratch.near_quadrants[b] | static_cast<unsigned>(LaneOr(filled));
  }
}

// Called from here, so that every compiler lays out the cloned versions and
// their choice here (clang makes neither for a clone only called elsewhere).
void PointRing::GatherBands(double x, double y, std::span<const RingBand> bands,
                            BandScratch& scratch, RingValues* rings, unsigned* quadrants) const {
  GatherBandsLanes(x, y, bands, scratch, rings, quadrants);
}

RingQuality PointRing::BandQuality(double x, double y, const RingBand& band, double mean,
                                   RingMembers& members, const QualityNeeds& needs) const {
  members.Clear();
  const double* xs = index_.x();
  const double* ys = index_.y();
  index_.ForEachStretchWithin(x, y, band.lower, band.upper, [&](std::uint32_t begin, std::uint32_t end) {
    for (std::uint32_t k = begin; k < end; ++k) {
      const double dx = xs[k] - x;
      const double dy = ys[k] - y;
      const double squared = dx * dx + dy * dy;
      if (band.SurelyIn(squared) || (!band.SurelyOut(squared) && band.Holds(dx, dy))) {
        members.indices.push_back(k);
      }
    }
  });
  return QualityOf(x, y, mean, members.indices, members, needs);
}

}  // namespace torvane
