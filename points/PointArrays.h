#pragma once
// A survey handed over as arrays (X, Y, point number, CBA) instead of a
// point file: stored as the point file reader stores the same numbers, so
// that every computation over it gives the numbers a run over the file
// gives.

#include <span>

#include "common/Reporter.h"
#include "points/PointSet.h"

namespace torvane {

// The four arrays have the same length; `point` may be empty (points then
// numbered 0). On failure the user has been told ("Survey arrays differ in
// length", "Survey contains no points", "Survey contains coordinates out of range" or "Error by
// allocating memory for data") and `points` is empty.
bool PointSetFromArrays(Reporter& platform, std::span<const double> x, std::span<const double> y,
                        std::span<const double> point, std::span<const double> cba,
                        PointSet& points);

}  // namespace torvane
