#include "residual/ComputeResiduals.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/StopQuestion.h"
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

bool ComputeResiduals(Reporter& platform, const std::string& output_path,
                      RingSource& source, PointSet& points, RingOutput& output,
                      bool* stop_requested) {
  ResidualTableWriter table(output_path);
  if (!table.ok()) {
    ReportOutputFailure(platform, "Error by opening output data ", output_path, table.error());
    return false;
  }
  const TableLayout layout{IsCsvName(output_path), source.settings().quality};
  table.WriteText(TableHeaderLine(layout));

  const int count = points.count();
  platform.SetProgressRange(0, count);
  platform.SetProgressPosition(0);
  platform.ProcessEvents();

  // The progress bar and the events follow one point at a time.
  RingResults rings;
  const RingOutcome outcome = GatherRings(points, source.settings(), rings, [&](std::size_t done) {
    platform.SetProgressPosition(static_cast<int>(done));
    return ContinueAfterEvents(platform, stop_requested);
  });
  if (outcome == RingOutcome::kStopped) return false;
  // A grid file that changed while its nodes were read from it gave samples
  // that cannot be trusted: the table is dropped.
  if (!source.GridUnchanged()) return false;

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
    ReportOutputFailure(platform, "Error by writing output data ", output_path, table.error());
    return false;
  }
  output.empty_rings = empty;
  output.ring_counts = std::move(ring_counts);
  output.qualities = std::move(qualities);
  return true;
}

}  // namespace torvane
