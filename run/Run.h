#pragma once
// The run: one call for every front end.

#include <functional>

#include "common/Reporter.h"
#include "run/RunRequest.h"
#include "run/RunResult.h"

namespace torvane {

// Reads and projects the stations, calls `after_stations` when given (a
// front end draws what needs only the stations there; false ends the run),
// then computes every residual and writes the table, with a warning when no
// point's ring held a value. `result` is cleared first; true, with
// result.completed, when the table was written. Otherwise
// the user has been told (or `after_stations` ended the run).
// `stop_requested`, when given, is the caller's Stop flag, looked at (with
// the caller's events handled) while the stations are read and projected,
// while the points are indexed and while the rings are gathered: once
// raised, the user is asked "Cancel calculation?", and a Yes ends the run
// with no table written and result.stopped. The events are handled while
// the stations are read even without a flag.
bool Run(Reporter& reporter, const RunRequest& request, RunResult& result,
         const std::function<bool()>& after_stations = {}, bool* stop_requested = nullptr);

// Builds the index the previews and maps grid the run's points with, once a
// run has read them; false when it would not fit in memory (the user has
// been told, once a run).
bool EnsureCluster(Reporter& reporter, const RunRequest& request, RunResult& result);

// Gathers the ring quality of a completed run that did not, over the same
// rings (the grid of a grid-mode run is read again); the residuals and the
// table stay as they are. False when there are no results, while the result
// is busy, or when the grid could not be read again (the user has been told).
bool EnsureRingQualities(Reporter& reporter, const RunRequest& request, RunResult& result);

}  // namespace torvane
