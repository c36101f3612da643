#pragma once
// The table of a station file's reductions: per station its coordinates and
// point as the file gives them, the absolute gravity, the height, the normal
// gravity at that height, the free-air anomaly and the simple Bouguer
// anomaly. Fixed width in the residual table's style (a field widened to
// its name, CR LF), or CSV (the shortest text of every number, LF) when the
// name ends in ".csv". Replaces an existing file only once complete.

#include <string>

#include "points/PointSet.h"
#include "points/SurveyReduction.h"

namespace torvane {

// `points` holds the Bouguer anomaly as each station's CBA. False when the
// file could not be written; `error` then holds the system's reason.
bool WriteReducedTable(const std::string& path, const PointSet& points,
                       const ReducedSurvey& reduced, int& error);

}  // namespace torvane
