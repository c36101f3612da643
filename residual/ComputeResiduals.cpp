#include "residual/ComputeResiduals.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "common/StopQuestion.h"
#include "grid/Gridimport.h"
#include "residual/ResidualTable.h"
#include "residual/RingResiduals.h"
#include "residual/TableLayout.h"

namespace torvane {
namespace {

void ReportOutputFailure(Reporter& platform, std::string_view what, const std::string& path,
                         int system_error) {
  const std::string text = std::string(what) + path;
  platform.WriteConsoleNote(text + " \n");
  platform.ShowFileError(text, path, system_error);
}

}  // namespace

bool ComputeResiduals(Reporter& platform, const ResidualRequest& request, PointSet& points,
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
  if (request.use_grid) {
    grid.emplace(platform, request.grid_memory_limit);
    if (!grid->Load(request.grid_path)) return false;
  }
  const RingSettings settings{request.search_radius, request.depth_band,
                              grid ? &*grid : nullptr, request.ring_points,
                              request.use_interpolated_cba, request.quality,
                              request.blanking};
  // The progress bar and the events follow one point at a time.
  RingResults rings;
  const RingOutcome outcome = GatherRings(points, settings, rings, [&](std::size_t done) {
    platform.SetProgressPosition(static_cast<int>(done));
    platform.ProcessEvents();
    return request.stop_requested == nullptr || !CancelWanted(platform, *request.stop_requested);
  });
  if (outcome == RingOutcome::kStopped) return false;
  // A grid file that changed while its nodes were read from it gave samples
  // that cannot be trusted: the table is dropped.
  if (grid && !grid->FileUnchanged()) return false;

  std::vector<std::int32_t>& ring_counts = rings.ring_counts;
  const bool with_quality = !rings.qualities.empty();
  std::vector<RingQuality>& qualities = rings.qualities;
  const std::size_t rows = points.points.size();
  const auto empty = static_cast<int>(std::count(ring_counts.begin(), ring_counts.end(), 0));
  table.WriteRows(rows, [&](std::size_t i, std::string& out) {
    const TableRow row = PointTableRow(points, i, points.points[i].residual, ring_counts[i]);
    AppendLayoutRow(layout, row, with_quality ? qualities[i] : RingQuality{}, out);
  });
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
