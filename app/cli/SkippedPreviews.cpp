#include "app/cli/SkippedPreviews.h"

#include <cstdio>

#include "points/NeighbourCluster.h"

namespace torvane {

std::string SkippedPreviewsCause(const RunRequest& request, const RunResult& result,
                                 Reporter& reporter) {
  const PointSet& points = result.points;
  const double radius = request.GriddingRadius();
  const ClusterSize size = SizeNeighbourCluster(points, radius);
  constexpr double kMebibyte = 1 << 20;
  const std::uint64_t available = reporter.AvailablePhysicalMemory();
  char text[512];
  if (size.cells == 0) {
    std::snprintf(text, sizeof text,
                  "previews skipped: the survey spans %.6g x %.6g m; at a preview radius of "
                  "%.6g m that is more cells than can be counted",
                  points.max_x - points.min_x, points.max_y - points.min_y, radius);
  } else {
    std::snprintf(text, sizeof text,
                  "previews skipped: the survey spans %.6g x %.6g m; at a preview radius of "
                  "%.6g m that is %lld x %lld = %llu cells, about %.0f MiB, with %.0f MiB "
                  "available (a larger --gridding-radius needs fewer)",
                  points.max_x - points.min_x, points.max_y - points.min_y, radius,
                  static_cast<long long>(size.nx), static_cast<long long>(size.ny),
                  static_cast<unsigned long long>(size.cells),
                  static_cast<double>(size.bytes) / kMebibyte,
                  static_cast<double>(available) / kMebibyte);
  }
  return text;
}

}  // namespace torvane
