// The ring quality of a finished run that did not ask for it: the maps'
// GAP of every station, gathered again over the run's own rings.

#include <new>
#include <optional>

#include "app/Hvw.h"
#include "common/ScopeExit.h"
#include "grid/Gridimport.h"
#include "residual/RingResiduals.h"

namespace torvane {

bool TfrmMain::EnsureRingQualities() {
  if (!results_ready_ || running_) return false;
  if (!ring_qualities_.empty() || points_.count() == 0) return true;
  running_ = true;
  const ScopeExit idle([this] { running_ = false; });
  try {
    // The grid of a grid-mode run is read again: the run let it go.
    std::optional<TGridImport> grid;
    if (parameters_.use_grid) {
      grid.emplace(platform_, parameters_.grid_memory_limit);
      if (!grid->Load(parameters_.grid_path)) return false;
    }
    const RingSettings settings{parameters_.search_radius, parameters_.depth_band,
                                grid ? &*grid : nullptr,  parameters_.ring_points,
                                parameters_.use_interpolated_cba, true,
                                parameters_.blanking};
    // On a copy: the run's residuals stay exactly as the table has them.
    PointSet points;
    points.points = points_.points;
    points.min_x = points_.min_x, points.max_x = points_.max_x;
    points.min_y = points_.min_y, points.max_y = points_.max_y;
    points.shift_x = points_.shift_x, points.shift_y = points_.shift_y;
    RingResults rings;
    platform_.SetProgressPosition(0);
    GatherRings(points, settings, rings, [&](std::size_t done) {
      platform_.SetProgressPosition(static_cast<int>(done));
      platform_.ProcessEvents();
      return true;
    });
    if (grid && !grid->FileUnchanged()) return false;
    ring_qualities_ = std::move(rings.qualities);
    return true;
  } catch (const std::bad_alloc&) {
    platform_.ShowInfo("Out of memory");
    return false;
  }
}

}  // namespace torvane
