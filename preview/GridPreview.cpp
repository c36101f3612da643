#include "preview/GridPreview.h"

#include <cstddef>
#include <new>
#include <span>

#include "common/ParallelBlocks.h"
#include "common/ScopeExit.h"
#include "common/StopQuestion.h"
#include "preview/ColourRaster.h"
#include "preview/PreviewNodes.h"
#include "preview/ResampleRaster.h"

namespace torvane {
namespace {

constexpr const char* kNoMemoryMessage = "Not enough memory for temporary buffer";

PreviewOutcome GridResampleColour(Reporter& platform, const PointSet& points,
                                  const NeighbourCluster& cluster, const PreviewRequest& request,
                                  bool& stop_requested, PreviewState& state) {
  const std::optional<double SurveyPoint::*> value = ValueOfSlot(request.slot);
  if (!value) return PreviewOutcome::kFailed;
  if (cluster.empty() || cluster.nx() <= 0 || cluster.ny() <= 0 || !(request.step > 0)) {
    return PreviewOutcome::kFailed;
  }
  const PreviewNodes nodes(points, cluster, *value,
                           request.step, request.radius,
                           ReachInCells(request.reach, request.step, cluster));
  PreviewGrid grid;
  grid.nx = nodes.nx();
  grid.ny = nodes.ny();
  const auto ny = static_cast<std::size_t>(grid.ny);
  grid.values.resize(static_cast<std::size_t>(grid.nx) * ny);

  // Node columns are gridded side by side, a block at a time; the events
  // and the Stop question follow after each column, in order.
  const bool finished = RunInBlocks(
      static_cast<std::size_t>(grid.nx),
      [&](std::size_t i, int) {
        const std::span<float> column = std::span<float>(grid.values).subspan(i * ny, ny);
        for (int j = 0; j < grid.ny; ++j) {
          column[static_cast<std::size_t>(j)] = nodes.Node(static_cast<int>(i), j);
        }
      },
      [&](std::size_t) {
        return ContinueAfterEvents(platform, &stop_requested);
      });
  if (!finished) return PreviewOutcome::kCancelled;

  if (!ResampleToRaster(platform, grid, request.step, request.picture, state.raster)) {
    return PreviewOutcome::kFailed;
  }
  ColourRaster(state.raster, state.pixels);
  return PreviewOutcome::kCompleted;
}

}  // namespace

PreviewOutcome GridPreview(Reporter& platform, const PointSet& points,
                           const NeighbourCluster& cluster, const PreviewRequest& request,
                           bool& stop_requested, PreviewState& state) {
  // The event processing after each column can start another gridding (a
  // list change); it would work on the same raster and pixels.
  if (state.gridding) return PreviewOutcome::kIgnored;
  state.gridding = true;
  const ScopeExit done([&state] { state.gridding = false; });
  try {
    return GridResampleColour(platform, points, cluster, request, stop_requested, state);
  } catch (const std::bad_alloc&) {
    state.pixels = PreviewPixels();
    platform.ShowInfo(kNoMemoryMessage);
    return PreviewOutcome::kFailed;
  }
}

}  // namespace torvane
