#include "app/cli/SkippedPreviews.h"

#include <cstdio>

#include "common/ShortestText.h"
#include "points/NeighbourCluster.h"

namespace torvane {

std::string SkippedPreviewsCause(const RunRequest& request, const RunResult& result,
                                 Reporter& reporter) {
  const PointSet& points = result.points;
  const double radius = request.GriddingRadius();
  const ClusterSize size = SizeNeighbourCluster(points, radius);
  constexpr double kMebibyte = 1 << 20;
  const std::uint64_t available = reporter.AvailablePhysicalMemory();
  const std::string span = "previews skipped: the survey spans " +
                           PlainText(points.max_x - points.min_x, 6) + " x " +
                           PlainText(points.max_y - points.min_y, 6) +
                           " m; at a preview radius of " + PlainText(radius, 6) + " m that is ";
  if (size.cells == 0) return span + "more cells than can be counted";
  char text[256];
  std::snprintf(text, sizeof text,
                "%lld x %lld = %llu cells, about %.0f MiB, with %.0f MiB available (a larger "
                "--gridding-radius needs fewer)",
                static_cast<long long>(size.nx), static_cast<long long>(size.ny),
                static_cast<unsigned long long>(size.cells),
                static_cast<double>(size.bytes) / kMebibyte,
                static_cast<double>(available) / kMebibyte);
  return span + text;
}

}  // namespace torvane
