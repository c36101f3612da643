#include "preview/PreviewNodes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "preview/PreviewData.h"

namespace torvane {

// Added to both coordinate differences, so that a point lying on a node has
// a small distance (0.0014) from it instead of none.
constexpr double kDistanceOffset = 0.001;

std::optional<double SurveyPoint::*> ValueOfSlot(int slot) {
  constexpr std::array<double SurveyPoint::*, 6> kSlots = {
      &SurveyPoint::x,      &SurveyPoint::y,   &SurveyPoint::point,
      &SurveyPoint::height, &SurveyPoint::cba, &SurveyPoint::residual,
  };
  if (slot < 0 || slot >= static_cast<int>(kSlots.size())) return std::nullopt;
  return kSlots[static_cast<std::size_t>(slot)];
}

PreviewNodes::PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
                           double SurveyPoint::*value, double step, double radius,
                           int reach_cells)
    : points_(points),
      cluster_(cluster),
      value_(value),
      lattice_{points.min_x, points.min_y, step, cluster.nx(), cluster.ny()},
      radius_(radius),
      reach_cells_(std::max(reach_cells, 0)) {}

template <typename ValueOf>
void PreviewNodes::Pack(ValueOf value_of) {
  if (cluster_.empty() || cluster_.nx() < 1 || cluster_.ny() < 1) return;
  // Every point is in exactly one cell list, and the lists lie end to end
  // from cell (0, 0) on.
  const std::span<const std::int32_t> first = cluster_.Cell(0, 0);
  const std::span<const std::int32_t> last = cluster_.Cell(cluster_.nx() - 1, cluster_.ny() - 1);
  first_index_ = first.data();
  const auto count = static_cast<std::size_t>(last.data() + last.size() - first_index_);
  packed_.resize(count);
  for (std::size_t k = 0; k < count; ++k) {
    const auto index = static_cast<std::size_t>(first_index_[k]);
    const SurveyPoint& p = points_.points[index];
    packed_[k] = {p.x, p.y, value_of(index)};
  }
}

PreviewNodes::PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
                           double SurveyPoint::*value, const NodeSpacing& lattice,
                           double cell_size, double radius)
    : points_(points),
      cluster_(cluster),
      value_(value),
      lattice_(lattice),
      radius_(radius),
      cell_size_(cell_size) {
  Pack([&](std::size_t index) { return points.points[index].*value; });
}

PreviewNodes::PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
                           std::span<const double> values, const NodeSpacing& lattice,
                           double cell_size, double radius)
    : points_(points),
      cluster_(cluster),
      value_(&SurveyPoint::cba),  // not read: every value is packed
      lattice_(lattice),
      radius_(radius),
      cell_size_(cell_size) {
  Pack([&](std::size_t index) { return index < values.size() ? values[index] : kPreviewBlank; });
}

PreviewNodes::CellWindow PreviewNodes::WindowOf(int i, int j, double node_x,
                                                double node_y) const {
  const std::int64_t last_k = cluster_.nx() - 1;
  const std::int64_t last_l = cluster_.ny() - 1;
  const auto clamp = [](std::int64_t index, std::int64_t last) {
    return static_cast<std::int32_t>(std::min(std::max<std::int64_t>(index, 0), last));
  };
  if (cell_size_ > 0) {
    // A point is used when |node - point + 0.001| <= radius along each axis
    // at least: the cells holding such positions. The outer cells hold
    // everything beyond the edge as well, so a window off the grid is held
    // to its edge rather than dropped.
    const double centre_x = node_x + kDistanceOffset;
    const double centre_y = node_y + kDistanceOffset;
    const CellIndex low = CellOf(centre_x - radius_, centre_y - radius_, points_.min_x,
                                 points_.min_y, cell_size_);
    const CellIndex high = CellOf(centre_x + radius_, centre_y + radius_, points_.min_x,
                                  points_.min_y, cell_size_);
    return {clamp(low.ix, last_k), clamp(high.ix, last_k), clamp(low.iy, last_l),
            clamp(high.iy, last_l)};
  }
  // In 64 bits: a node index plus the reach may pass the 32-bit range.
  const std::int64_t reach = reach_cells_;
  return {clamp(i - reach, last_k), clamp(i + reach, last_k), clamp(j - reach, last_l),
          clamp(j + reach, last_l)};
}

float PreviewNodes::Node(int i, int j) const {
  const double node_x = i * lattice_.step + lattice_.x0;
  const double node_y = j * lattice_.step + lattice_.y0;
  double sum_v = 0;
  double sum_w = 0;
  double sum_on_node = 0;
  int on_node = 0;

  // Beyond this squared distance a point is certainly farther than the
  // radius, whatever the rounding; nearer ones are decided on the distance.
  const double beyond = radius_ * radius_ * (1 + 1e-9);
  const auto add = [&](double x, double y, double v) {
    if (std::isnan(v)) return;  // a point left without a residual
    const double dx = node_x - x + kDistanceOffset;
    const double dy = node_y - y + kDistanceOffset;
    const double squared = dx * dx + dy * dy;
    if (squared > beyond) return;
    const double d = std::sqrt(squared);
    if (d > radius_) return;
    if (d == 0) {
      sum_on_node += v;
      ++on_node;
      return;
    }
    sum_v += v / d;
    sum_w += 1 / d;
  };

  const CellWindow window = WindowOf(i, j, node_x, node_y);
  for (std::int32_t k = window.k_first; k <= window.k_last; ++k) {
    for (std::int32_t l = window.l_first; l <= window.l_last; ++l) {
      const std::span<const std::int32_t> cell = cluster_.Cell(k, l);
      if (!packed_.empty()) {
        const Packed* p = packed_.data() + (cell.data() - first_index_);
        for (std::size_t n = 0; n < cell.size(); ++n) add(p[n].x, p[n].y, p[n].v);
        continue;
      }
      for (const std::int32_t index : cell) {
        const SurveyPoint& p = points_.points[static_cast<std::size_t>(index)];
        add(p.x, p.y, p.*value_);
      }
    }
  }
  if (on_node > 0) return StorePreviewValue(sum_on_node / on_node);
  return sum_w != 0 ? StorePreviewValue(sum_v / sum_w) : kPreviewBlank;
}

int ReachInCells(double reach, double step, const NeighbourCluster& cluster) {
  const double cells = std::ceil(reach / step);
  const double most = std::max(cluster.nx(), cluster.ny());
  if (!(cells > 0)) return 0;
  return static_cast<int>(std::min(cells, most));
}

}  // namespace torvane
