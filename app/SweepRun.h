#pragma once
// One radius sweep from a point file to its curve, as `torvane-cli sweep`
// and the window's sweep dialog both run it: the rings from the radii and
// the band (or band ratio), the points read and projected once, every
// radius's residuals, and the curve with its chart.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"
#include "points/ReadStations.h"
#include "preview/CurvePlot.h"
#include "residual/RadiusSweep.h"
#include "residual/SweepCurve.h"

namespace torvane {

// The rings of the radii listed in `radii` (see ParseRadiusList), each with
// the band `band` or, with `ratio`, band * R. False with the reason in
// `problem` (the radii, a band wider than a radius, a radius listed twice).
bool SweepRings(const std::string& radii, double band, bool ratio, std::vector<SweepRadius>& rings,
                std::string& problem);

struct SweepOutcome {
  PointSet points;
  std::vector<SweepColumn> columns;
  std::vector<CurveRow> curve;
};

// Reads and projects the points, checks the memory the columns take and
// sweeps. False when the file could not be read or the sweep would not fit
// in memory (the user has been told), or when `cancel` was raised.
bool RunSweep(Reporter& platform, const StationSource& survey,
              const std::vector<SweepRadius>& rings,
              const RingBlanking& blanking, SweepOutcome& outcome,
              const std::atomic<bool>* cancel = nullptr);

// rms_residual and mean_abs_residual against R, as the plot shows them.
CurveChart SweepChart(const std::vector<CurveRow>& curve);

}  // namespace torvane
