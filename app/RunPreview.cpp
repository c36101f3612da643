#include "app/RunPreview.h"

namespace torvane {

PreviewOutcome GridRunPreview(Reporter& reporter, const RunRequest& request,
                              const RunResult& result, int slot, ImageSize picture,
                              bool& stop_requested, PreviewState& state) {
  PreviewRequest preview;
  preview.slot = slot;
  // The radius for gridding is the nodes' step, the gridding radius and reach.
  const double gridding = request.GriddingRadius();
  preview.step = gridding;
  preview.radius = gridding;
  preview.reach = gridding;
  preview.picture = picture;
  return GridPreview(reporter, result.points, result.cluster, preview, stop_requested, state);
}

}  // namespace torvane
