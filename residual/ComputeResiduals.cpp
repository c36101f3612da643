#include "residual/ComputeResiduals.h"

#include <optional>

#include "grid/Gridimport.h"
#include "residual/GridRing.h"
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

  // A grid that cannot be loaded ends the run here: the table, not yet in
  // place, is dropped with its temporary file.
  std::optional<TGridImport> grid;
  std::optional<GridRing> grid_ring;
  if (request.use_grid) {
    grid.emplace(platform, request.grid_memory_limit);
    if (!grid->Load(request.grid_path)) return false;
    grid_ring.emplace(*grid, request.search_radius, request.ring_points,
                      request.use_interpolated_cba);
  }

  PointRing point_ring(points, cluster, request.cell_size, request.search_radius,
                       request.depth_band);
  for (int i = 0; i < count; ++i) {
    SurveyPoint& p = points.points[static_cast<std::size_t>(i)];
    const double xf = p.x - points.shift_x;
    const double yf = p.y - points.shift_y;
    double centre = p.cba;
    RingValues values;
    if (grid_ring) {
      centre = grid_ring->CentreValue(xf, yf, p.cba);
      values = grid_ring->Gather(xf, yf);
    } else {
      values = point_ring.Gather(p.x, p.y);
    }
    p.residual = values.n >= 1 ? centre - values.sum / values.n : 0.0;
    table.WriteRow({xf, yf, p.point, p.cba, p.residual, values.n});
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
