#pragma once
// The preview of one value of a run's points: gridded at the run's radius for
// gridding and resampled to the picture's size, for the window's picture
// boxes and torvane-cli's --preview-cba / --preview-residual alike.

#include "common/Reporter.h"
#include "common/RgbCanvas.h"
#include "preview/GridPreview.h"
#include "run/RunRequest.h"
#include "run/RunResult.h"

namespace torvane {

// A value's place in a SurveyPoint, as the preview lists count them.
inline constexpr int kCbaSlot = 4;
inline constexpr int kResidualSlot = 5;

// Grids value `slot` of the result's points (its cluster built beforehand)
// into state.pixels; `stop_requested` is the Stop flag looked at after every
// node column.
PreviewOutcome GridRunPreview(Reporter& reporter, const RunRequest& request,
                              const RunResult& result, int slot, ImageSize picture,
                              bool& stop_requested, PreviewState& state);

}  // namespace torvane
