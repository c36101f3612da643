#include "run/Run.h"

#include <new>
#include <string>

#include "common/ScopeExit.h"
#include "points/SurveyReduction.h"
#include "residual/RingResiduals.h"
#include "residual/RingSource.h"
#include "run/GridCrsChoice.h"

namespace torvane {
namespace {

// A table of zeros is written as asked, but not without a word: it almost
// always means a band of 0, a radius in other units than the coordinates,
// or a grid away from the points.
void WarnIfEveryRingEmpty(Reporter& reporter, const RunRequest& request,
                          const RunResult& result) {
  const int count = result.points.count();
  if (count == 0 || result.rings.empty_rings < count) return;
  const std::string what =
      request.ring.use_grid
          ? "no sample of the grid on any point's ring. Check the radius for search, that the "
            "grid covers the points, and the coordinates' units (the radius is in metres)."
          : "no survey point at R +- D from any point. Check the band (+- D), the radius for "
            "search, and the coordinates' units (R and D are in metres).";
  reporter.ShowMessage("Every point has N = 0 and its residual was written as 0: there is " + what,
                       "Warning", MessageButtons::kOk);
}

// Loads the grid of a grid-mode run and settles the CRS the stations are
// read into: a projected grid's, where they name their own. False, with the
// user told, when the grid cannot be loaded or used.
bool LoadRingGrid(Reporter& reporter, const RunRequest& request, RingSource& source,
                  SurveyCrs& crs, RunResult& result) {
  if (!source.Load(reporter, request.ring)) return false;
  const TGridImport& grid = *source.grid();
  result.grid_crs = grid.crs();
  const GridCrsOutcome outcome =
      ChooseGridWorkCrs(reporter, request.ring.grid_path, result.grid_crs,
                        (grid.xmin() + grid.xmax()) / 2, (grid.ymin() + grid.ymax()) / 2, crs);
  result.refused = outcome == GridCrsOutcome::kConflict;
  return outcome == GridCrsOutcome::kRun;
}

}  // namespace

bool Run(Reporter& reporter, const RunRequest& request, RunResult& result,
         const std::function<bool()>& after_stations, bool* stop_requested) {
  result.Clear();
  RingSource source;
  StationSource stations = request.stations;
  // Stations that name their CRS are projected into a projected grid's, so
  // the grid comes first; otherwise it follows the stations and what is drawn
  // of them, as it always has.
  const bool grid_first = request.ring.use_grid && !stations.crs.crs.empty();
  if (grid_first && !LoadRingGrid(reporter, request, source, stations.crs, result)) return false;
  // Stop is looked at once a block of the file is read, as it is once a
  // point's ring is gathered.
  const KeepGoing keep_going = [&] {
    result.stopped = !ContinueAfterEvents(reporter, stop_requested);
    return !result.stopped;
  };
  if (!ReadStations(reporter, stations, result.points, result.work_crs, keep_going)) return false;
  if (after_stations && !after_stations()) return false;
  if (!grid_first) {
    const bool loaded = request.ring.use_grid
                            ? LoadRingGrid(reporter, request, source, stations.crs, result)
                            : source.Load(reporter, request.ring);
    if (!loaded) return false;
  }
  // Stations without a CRS of their own are taken to be in the grid's.
  if (result.work_crs.empty() && !result.grid_crs.empty() &&
      DescribeCrs(result.grid_crs) == CrsKind::kProjected) {
    result.work_crs = result.grid_crs;
  }
  if (!ComputeResiduals(reporter, request.output_path, source, result.points, result.rings,
                        stop_requested)) {
    result.stopped = stop_requested != nullptr && *stop_requested;
    return false;
  }
  result.completed = true;
  WarnIfEveryRingEmpty(reporter, request, result);
  // A CBA column that holds absolute gravity gives residuals, but not the ones
  // wanted.
  if (!request.stations.gravity_reduction) {
    WarnIfAbsoluteGravity(reporter, result.points, CbaColumnName(request.stations));
  }
  return true;
}

bool EnsureCluster(Reporter& reporter, const RunRequest& request, RunResult& result) {
  if (!result.cluster.empty()) return true;
  if (result.cluster_refused) return false;
  if (BuildNeighbourCluster(reporter, result.points, request.GriddingRadius(), result.cluster)) {
    return true;
  }
  result.cluster_refused = true;
  return false;
}

bool EnsureRingQualities(Reporter& reporter, const RunRequest& request, RunResult& result) {
  if (!result.completed || result.busy) return false;
  if (!result.rings.qualities.empty() || result.points.count() == 0) return true;
  result.busy = true;
  const ScopeExit idle([&result] { result.busy = false; });
  try {
    RingRequest ring = request.ring;
    ring.quality = true;
    // The grid of a grid-mode run is read again: the run let it go.
    RingSource source;
    if (!source.Load(reporter, ring)) return false;
    // On a copy: the run's residuals stay exactly as the table has them.
    const PointSet& run = result.points;
    PointSet points;
    points.points = run.points;
    points.min_x = run.min_x, points.max_x = run.max_x;
    points.min_y = run.min_y, points.max_y = run.max_y;
    points.shift_x = run.shift_x, points.shift_y = run.shift_y;
    RingResults rings;
    reporter.SetProgressPosition(0);
    GatherRings(points, source.settings(), rings, [&](std::size_t done) {
      reporter.SetProgressPosition(static_cast<int>(done));
      reporter.ProcessEvents();
      return true;
    });
    if (!source.GridUnchanged()) return false;
    result.rings.qualities = std::move(rings.qualities);
    return true;
  } catch (const std::bad_alloc&) {
    reporter.ShowInfo("Out of memory");
    return false;
  }
}

}  // namespace torvane
