#include "residual/ComputeResiduals.h"

#include <vector>

#include "common/ParallelBlocks.h"

#include "residual/PointRing.h"
#include "residual/ResidualTable.h"

namespace torvane {
namespace {

void ReportOutputFailure(Platform& platform, std::string_view what, const std::string& path) {
  const std::string text = std::string(what) + path;
  platform.WriteConsoleNote(text + " \n");
  platform.ShowInfo(text);
}

}  // namespace

bool ComputeResiduals(Platform& platform, const ResidualRequest& request, PointSet& points) {
  ResidualTableWriter table(request.output_path);
  if (!table.ok()) {
    ReportOutputFailure(platform, "Error by opening output data ", request.output_path);
    return false;
  }
  table.WriteHeader();

  const int count = points.count();
  platform.SetProgressRange(0, count);
  platform.SetProgressPosition(0);
  platform.ProcessEvents();

  // The rings are gathered neighbour after neighbour, on every core; the
  // progress bar and the events follow one point at a time.
  const PointRing ring(points, request.search_radius, request.depth_band);
  const std::vector<std::uint32_t>& order = ring.order();
  std::vector<RingValues> rings(points.points.size());
  std::vector<ExactSum> sums(static_cast<std::size_t>(WorkerThreads()));
  RunInBlocks(
      order.size(),
      [&](std::size_t k, int thread) {
        const SurveyPoint& p = points.points[order[k]];
        rings[order[k]] = ring.Gather(p.x, p.y, sums[static_cast<std::size_t>(thread)]);
      },
      [&](std::size_t done) {
        platform.SetProgressPosition(static_cast<int>(done));
        platform.ProcessEvents();
        return true;
      });

  for (std::size_t i = 0; i < points.points.size(); ++i) {
    SurveyPoint& p = points.points[i];
    const RingValues& values = rings[i];
    p.residual = values.n >= 1 ? p.cba - values.sum / values.n : 0.0;
    table.WriteRow({p.x - points.shift_x, p.y - points.shift_y, p.point, p.cba, p.residual,
                    values.n});
  }
  if (!table.Finish()) {
    ReportOutputFailure(platform, "Error by writing output data ", request.output_path);
    return false;
  }
  return true;
}

}  // namespace torvane
