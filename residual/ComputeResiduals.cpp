#include "residual/ComputeResiduals.h"

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

bool ComputeResiduals(Platform& platform, const ResidualRequest& request, PointSet& points,
                      const NeighbourCluster& cluster) {
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

  PointRing ring(points, cluster, request.cell_size, request.search_radius, request.depth_band);
  for (int i = 0; i < count; ++i) {
    SurveyPoint& p = points.points[static_cast<std::size_t>(i)];
    const RingValues values = ring.Gather(p.x, p.y);
    p.residual = values.n >= 1 ? p.cba - values.sum / values.n : 0.0;
    table.WriteRow({p.x - points.shift_x, p.y - points.shift_y, p.point, p.cba, p.residual,
                    values.n});
    platform.SetProgressPosition(i + 1);
    platform.ProcessEvents();
  }

  if (!table.Finish()) {
    ReportOutputFailure(platform, "Error by writing output data ", request.output_path);
    return false;
  }
  return true;
}

}  // namespace torvane
