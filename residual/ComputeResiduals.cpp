#include "residual/ComputeResiduals.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/ParallelBlocks.h"
#include "grid/Gridimport.h"
#include "residual/RingIndex.h"
#include "residual/GridRing.h"
#include "residual/PointRing.h"
#include "residual/ResidualTable.h"
#include "residual/RingResidual.h"
#include "residual/TableLayout.h"

namespace torvane {
namespace {

void ReportOutputFailure(Platform& platform, std::string_view what, const std::string& path,
                         int system_error) {
  const std::string text = std::string(what) + path;
  platform.WriteConsoleNote(text + " \n");
  platform.ShowFileError(text, path, system_error);
}

}  // namespace

bool ComputeResiduals(Platform& platform, const ResidualRequest& request, PointSet& points,
                      int* empty_rings) {
  ResidualTableWriter table(request.output_path);
  if (!table.ok()) {
    ReportOutputFailure(platform, "Error by opening output data ", request.output_path,
                        table.error());
    return false;
  }
  const TableLayout layout{IsCsvName(request.output_path), request.quality};
  table.WriteText(TableHeaderLine(layout));

  const int count = points.count();
  platform.SetProgressRange(0, count);
  platform.SetProgressPosition(0);
  platform.ProcessEvents();

  // A grid that cannot be loaded ends the run here: the table, not yet in
  // place, is dropped with its temporary file.
  std::optional<TGridImport> grid;
  std::optional<GridRing> grid_ring;
  std::optional<PointRing> point_ring;
  std::optional<RingIndex> neighbours;  // grid mode: only the order of the points
  if (request.use_grid) {
    grid.emplace(platform, request.grid_memory_limit);
    if (!grid->Load(request.grid_path)) return false;
    grid_ring.emplace(*grid, request.search_radius, request.ring_points,
                      request.use_interpolated_cba);
    neighbours.emplace(points, -1.0, request.search_radius);
  } else {
    point_ring.emplace(points, request.search_radius, request.depth_band);
  }

  // The rings are gathered neighbour after neighbour, on every core, each
  // point's residual stored in the point; the progress bar and the events
  // follow one point at a time.
  const std::vector<std::uint32_t>& order = point_ring ? point_ring->order() : neighbours->order();
  std::vector<std::int32_t> ring_counts(points.points.size());
  std::vector<ExactSum> sums(static_cast<std::size_t>(WorkerThreads()));
  // The quality only when it is shown or decides a blanking: it costs more
  // than the ring itself.
  const bool with_quality = request.quality || request.blanking.NeedsGap();
  const QualityNeeds needs{true, request.quality};
  std::vector<RingQuality> qualities(with_quality ? points.points.size() : 0);
  std::vector<RingMembers> members(with_quality ? sums.size() : 0);
  RunInBlocks(
      order.size(),
      [&](std::size_t k, int thread) {
        SurveyPoint& p = points.points[order[k]];
        const auto t = static_cast<std::size_t>(thread);
        double centre = p.cba;
        RingValues values;
        RingQuality quality;
        if (grid_ring) {
          const double xf = p.x - points.shift_x;
          const double yf = p.y - points.shift_y;
          centre = grid_ring->CentreValue(xf, yf, p.cba);
          values = with_quality ? grid_ring->GatherWithQuality(xf, yf, members[t], quality)
                                : grid_ring->Gather(xf, yf);
        } else {
          values = with_quality ? point_ring->GatherWithQuality(p.x, p.y, sums[t], members[t],
                                                                needs, quality)
                                : point_ring->Gather(p.x, p.y, sums[t]);
        }
        p.residual = RingResidual(centre, values, quality, request.blanking);
        ring_counts[order[k]] = values.n;
        if (with_quality) qualities[order[k]] = quality;
      },
      [&](std::size_t done) {
        platform.SetProgressPosition(static_cast<int>(done));
        platform.ProcessEvents();
        return true;
      });
  // A grid file that changed while its nodes were read from it gave samples
  // that cannot be trusted: the table is dropped.
  if (grid && !grid->FileUnchanged()) return false;

  int empty = 0;
  for (std::size_t i = 0; i < points.points.size(); ++i) {
    const SurveyPoint& p = points.points[i];
    if (ring_counts[i] == 0) ++empty;
    const TableRow row = PointTableRow(points, i, p.residual, ring_counts[i]);
    table.WriteWith([&](std::string& out) {
      AppendLayoutRow(layout, row, with_quality ? qualities[i] : RingQuality{}, out);
    });
  }
  if (!table.Finish()) {
    ReportOutputFailure(platform, "Error by writing output data ", request.output_path,
                        table.error());
    return false;
  }
  if (empty_rings != nullptr) *empty_rings = empty;
  if (request.ring_counts != nullptr) *request.ring_counts = std::move(ring_counts);
  if (request.qualities != nullptr) *request.qualities = std::move(qualities);
  return true;
}

}  // namespace torvane
