#include "residual/ComputeResiduals.h"

#include <vector>

#include "grid/Gridimport.h"
#include "residual/ResidualTable.h"
#include "residual/RingResiduals.h"

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

  // The progress bar and the events follow one point at a time.
  const RingStep step = [&](std::size_t done) {
    platform.SetProgressPosition(static_cast<int>(done));
    platform.ProcessEvents();
    return true;
  };
  std::vector<int> ring_counts;
  if (request.use_grid) {
    // A grid that cannot be loaded ends the run here: the table, not yet in
    // place, is dropped with its temporary file.
    TGridImport grid(platform, request.grid_memory_limit);
    if (!grid.Load(request.grid_path)) return false;
    GatherGridRings(points, grid, request.search_radius, request.ring_points,
                    request.use_interpolated_cba, ring_counts, step);
    // A grid file that changed while its nodes were read from it gave
    // samples that cannot be trusted: the table is dropped.
    if (!grid.FileUnchanged()) return false;
  } else {
    GatherPointRings(points, request.search_radius, request.depth_band, ring_counts, step);
  }

  for (std::size_t i = 0; i < points.points.size(); ++i) {
    const SurveyPoint& p = points.points[i];
    table.WriteRow({p.x - points.shift_x, p.y - points.shift_y, p.point, p.cba, p.residual,
                    ring_counts[i]});
  }
  if (!table.Finish()) {
    ReportOutputFailure(platform, "Error by writing output data ", request.output_path);
    return false;
  }
  return true;
}

}  // namespace torvane
