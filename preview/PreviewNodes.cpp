#include "preview/PreviewNodes.h"

#include <algorithm>
#include <cmath>

#include "preview/PreviewData.h"

namespace torvane {

// Added to both coordinate differences, so that a point lying on a node has
// a small distance (0.0014) from it instead of none.
constexpr double kDistanceOffset = 0.001;

PreviewNodes::PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
                           double SurveyPoint::*value, double step, double radius,
                           int reach_cells)
    : points_(points),
      cluster_(cluster),
      value_(value),
      step_(step),
      radius_(radius),
      reach_cells_(std::max(reach_cells, 0)) {}

float PreviewNodes::Node(int i, int j) const {
  const double node_x = i * step_ + points_.min_x;
  const double node_y = j * step_ + points_.min_y;
  double sum_v = 0;
  double sum_w = 0;
  double sum_on_node = 0;
  int on_node = 0;

  // In 64 bits: a node index plus the reach may pass the 32-bit range.
  const std::int64_t reach = reach_cells_;
  const auto k_first = static_cast<std::int32_t>(std::max<std::int64_t>(0, i - reach));
  const auto k_last = static_cast<std::int32_t>(std::min<std::int64_t>(nx() - 1, i + reach));
  const auto l_first = static_cast<std::int32_t>(std::max<std::int64_t>(0, j - reach));
  const auto l_last = static_cast<std::int32_t>(std::min<std::int64_t>(ny() - 1, j + reach));
  for (std::int32_t k = k_first; k <= k_last; ++k) {
    for (std::int32_t l = l_first; l <= l_last; ++l) {
      for (const std::int32_t index : cluster_.Cell(k, l)) {
        const SurveyPoint& p = points_.points[static_cast<std::size_t>(index)];
        const double dx = node_x - p.x + kDistanceOffset;
        const double dy = node_y - p.y + kDistanceOffset;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d > radius_) continue;
        const double v = p.*value_;
        if (std::isnan(v)) continue;  // a point left without a residual
        if (d == 0) {
          sum_on_node += v;
          ++on_node;
          continue;
        }
        sum_v += v / d;
        sum_w += 1 / d;
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
