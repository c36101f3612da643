#pragma once
// Why a run skipped its previews, in numbers, for the batch command's log:
// the window's message says only that the cells did not fit.

#include <string>

#include "common/Reporter.h"
#include "run/RunRequest.h"
#include "run/RunResult.h"

namespace torvane {

// "previews skipped: the survey spans ... m; at a preview radius of ... m
// that is NX x NY = C cells, about M MiB, with A MiB available".
std::string SkippedPreviewsCause(const RunRequest& request, const RunResult& result,
                                 Reporter& reporter);

}  // namespace torvane
