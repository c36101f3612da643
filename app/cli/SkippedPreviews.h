#pragma once
// Why a run skipped its previews, in numbers, for the batch command's log:
// the window's message says only that the cells did not fit.

#include <string>

#include "app/Hvw.h"

namespace torvane {

// "previews skipped: the survey spans ... m; at a preview radius of ... m
// that is NX x NY = C cells, about M MiB, with A MiB available".
std::string SkippedPreviewsCause(const TfrmMain& form, Platform& platform);

}  // namespace torvane
