#include "residual/GridResidual.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/ParallelBlocks.h"
#include "residual/RingStencil.h"

namespace torvane {
namespace {

// The weighted sums of rows first ... last of one column, whose windows lie
// inside the grid: sums[r] for the node at `column + r`. Eight weights at a
// time, so that the sums are loaded and stored an eighth as often. Built for
// any x86-64 processor, for those with AVX2 and for those with AVX-512; the
// processor picks.
[[gnu::target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")]] void SumWindows(
    const float* column, const RingWeight* weights, std::size_t count, std::uint32_t first,
    std::uint32_t last, double* sums_of_column) {
  double* __restrict sums = sums_of_column + first;
  const std::size_t rows = std::size_t{last} - first + 1;
  column += first;
  std::fill(sums, sums + rows, 0.0);
  std::size_t e = 0;
  for (; e + 8 <= count; e += 8) {
    const float* __restrict p[8];
    double w[8];
    for (int k = 0; k < 8; ++k) {
      p[k] = column + weights[e + static_cast<std::size_t>(k)].delta;
      w[k] = weights[e + static_cast<std::size_t>(k)].w;
    }
#pragma omp simd
    for (std::size_t q = 0; q < rows; ++q) {
      sums[q] += ((w[0] * static_cast<double>(p[0][q]) + w[1] * static_cast<double>(p[1][q])) +
                  (w[2] * static_cast<double>(p[2][q]) + w[3] * static_cast<double>(p[3][q]))) +
                 ((w[4] * static_cast<double>(p[4][q]) + w[5] * static_cast<double>(p[5][q])) +
                  (w[6] * static_cast<double>(p[6][q]) + w[7] * static_cast<double>(p[7][q])));
    }
  }
  for (; e < count; ++e) {
    const float* __restrict a = column + weights[e].delta;
    const double wa = weights[e].w;
#pragma omp simd
    for (std::size_t q = 0; q < rows; ++q) sums[q] += wa * static_cast<double>(a[q]);
  }
}

class GridResidualWork {
 public:
  GridResidualWork(const GridValues& in, const GridResidualRing& ring, GridValues& out)
      : in_(in), ring_(ring), out_(out), lattice_(in.Lattice()), nodes_(in.Nodes()),
        stencil_(BuildRingStencil(in, ring)) {
    const double wanted = std::ceil(ring.min_share * ring.ring_points);
    needed_ = std::clamp(static_cast<std::int32_t>(std::min(wanted, 2e9)), 1, ring.ring_points);
    // The runs of blank nodes along each column.
    run_start_.reserve(static_cast<std::size_t>(in.ncols) + 1);
    for (std::uint32_t c = 0; c < in.ncols; ++c) {
      run_start_.push_back(blank_runs_.size());
      for (std::uint32_t r = 0; r < in.nrows; ++r) {
        if (!IsBlank(in.At(c, r))) continue;
        const std::uint32_t from = r;
        while (r + 1 < in.nrows && IsBlank(in.At(c, r + 1))) ++r;
        blank_runs_.emplace_back(from, r);
      }
    }
    run_start_.push_back(blank_runs_.size());
    const auto threads = static_cast<std::size_t>(WorkerThreads());
    sums_.resize(threads);
    dirty_.resize(threads);
  }

  void Column(std::uint32_t c, int thread) {
    std::vector<double>& sums = sums_[static_cast<std::size_t>(thread)];
    std::vector<std::int32_t>& dirty = dirty_[static_cast<std::size_t>(thread)];
    // Rows first ... last of this column whose windows lie inside the grid.
    std::uint32_t first = 1;
    std::uint32_t last = 0;
    bool weighed = false;
    const auto nrows = static_cast<std::int64_t>(in_.nrows);
    const std::int64_t column = c;
    if (stencil_.usable && column + stencil_.ilo >= 0 && column + stencil_.ihi < in_.ncols &&
        -stencil_.jlo <= nrows - 1 - stencil_.jhi) {
      first = static_cast<std::uint32_t>(-stencil_.jlo);
      last = static_cast<std::uint32_t>(nrows - 1 - stencil_.jhi);
      weighed = true;
      MarkBlankWindows(c, dirty);
      sums.resize(in_.nrows);
      SumWindows(in_.nodes.data() + in_.Index(c, 0), stencil_.weights.data(),
                 stencil_.weights.size(), first, last, sums.data());
    }
    const double n = ring_.ring_points;
    std::int32_t blanks_in_window = 0;
    for (std::uint32_t r = 0; r < in_.nrows; ++r) {
      const bool inside = weighed && r >= first && r <= last;
      if (weighed) blanks_in_window += dirty[r];
      const float node = in_.At(c, r);
      float& result = out_.At(c, r);
      if (IsBlank(node)) {
        result = kBlankNode;
      } else if (inside && blanks_in_window == 0) {
        result = NodeFromDouble(node - sums[r] / n);
      } else {
        result = SampledResidual(c, r, node);
      }
    }
  }

 private:
  // dirty[r] counts the runs of blanks that enter the window of row r less
  // those that leave it: a running sum from row 0 is not 0 exactly when
  // the window holds a blank.
  void MarkBlankWindows(std::uint32_t c, std::vector<std::int32_t>& dirty) const {
    dirty.assign(static_cast<std::size_t>(in_.nrows) + 1, 0);
    const auto nrows = static_cast<std::int64_t>(in_.nrows);
    for (std::int32_t i = stencil_.ilo; i <= stencil_.ihi; ++i) {
      const auto near = static_cast<std::size_t>(static_cast<std::int64_t>(c) + i);
      const auto& reach = stencil_.reach[static_cast<std::size_t>(i - stencil_.ilo)];
      for (std::size_t k = run_start_[near]; k < run_start_[near + 1]; ++k) {
        // Rows whose window reaches a blank of rows first_blank ... last_blank.
        const std::int64_t first_blank = blank_runs_[k].first;
        const std::int64_t last_blank = blank_runs_[k].second;
        for (const auto& [from, to] : reach) {
          const std::int64_t low = std::max<std::int64_t>(0, first_blank - to);
          const std::int64_t high = std::min<std::int64_t>(nrows - 1, last_blank - from);
          if (low > high) continue;
          ++dirty[static_cast<std::size_t>(low)];
          --dirty[static_cast<std::size_t>(high + 1)];
        }
      }
    }
  }

  // The residual of node (c, r) from its samples one by one, as grid mode
  // takes them, giving up as soon as too few can be usable.
  float SampledResidual(std::uint32_t c, std::uint32_t r, float node) const {
    const double xn = static_cast<double>(c) * in_.dx + in_.xmin;
    const double yn = static_cast<double>(r) * in_.dy + in_.ymin;
    const auto sample = [&](std::int32_t k) {
      const auto at = static_cast<std::size_t>(k);
      return InterpolateBilinear(lattice_, nodes_, stencil_.cos[at] * ring_.radius + xn,
                                 stencil_.sin[at] * ring_.radius + yn);
    };
    const std::int32_t allowed_missing = ring_.ring_points - needed_;
    if (allowed_missing == 0) {
      // The whole ring is needed: a ring leaving the grid is seen at its
      // farthest samples.
      for (const std::int32_t k : {stencil_.west, stencil_.east, stencil_.south, stencil_.north}) {
        if (IsBlank(sample(k))) return kBlankNode;
      }
    }
    // Every kStride-th sample first, then those between: a blank stretch of
    // the ring is met after a few samples wherever it lies.
    double sum = 0;
    std::int32_t usable = 0;
    std::int32_t missing = 0;
    for (std::int32_t phase = 0; phase < kStride; ++phase) {
      for (std::int32_t k = phase; k < ring_.ring_points; k += kStride) {
        const double value = sample(k);
        if (IsBlank(value)) {
          if (++missing > allowed_missing) return kBlankNode;
          continue;
        }
        sum += value;
        ++usable;
      }
    }
    return NodeFromDouble(node - sum / usable);
  }

  static constexpr std::int32_t kStride = 8;

  const GridValues& in_;
  const GridResidualRing& ring_;
  GridValues& out_;
  NodeLattice lattice_;
  MemoryNodes nodes_;
  RingStencil stencil_;
  std::int32_t needed_ = 1;
  // Column c's runs of blanks (first row, last row) are
  // blank_runs_[run_start_[c] ... run_start_[c + 1]).
  std::vector<std::pair<std::uint32_t, std::uint32_t>> blank_runs_;
  std::vector<std::size_t> run_start_;
  std::vector<std::vector<double>> sums_;           // one per thread
  std::vector<std::vector<std::int32_t>> dirty_;    // one per thread
};

}  // namespace

bool ComputeGridResidual(const GridValues& in, const GridResidualRing& ring, GridValues& out,
                         const std::function<bool(std::size_t done)>& step) {
  out = BlankGridLike(in);
  if (in.nodes.empty() || ring.ring_points < 1 || ring.ring_points > kMostRingPoints) {
    return true;
  }
  GridResidualWork work(in, ring, out);
  return RunInBlocks(
      in.ncols, [&](std::size_t c, int thread) { work.Column(static_cast<std::uint32_t>(c), thread); },
      [&](std::size_t done) { return !step || step(done); });
}

}  // namespace torvane
