#pragma once
// The sweep's curve: one row of statistics per radius, from which R is
// chosen at the knee. Every statistic runs over the points with a residual
// (not blanked) and at least one ring value.

#include <cstdint>
#include <string>
#include <vector>

#include "common/AtomicFile.h"

#include "residual/RadiusSweep.h"

namespace torvane {

struct CurveRow {
  double radius = 0;
  double band = 0;
  std::int64_t points_with_ring = 0;
  // NaN where there is nothing to average (no point with a ring), and for
  // the correlation also for the first radius and where either side does
  // not vary.
  double mean_n = 0;
  double rms_residual = 0;          // sqrt of the mean square
  double mean_abs_residual = 0;
  double correlation_previous = 0;  // Pearson's, with the previous radius
  double share_gap_over_180 = 0;
};

std::vector<CurveRow> SweepCurve(const std::vector<SweepColumn>& columns);

// radius,band,points_with_ring,mean_n,rms_residual,mean_abs_residual,
// correlation_previous,share_gap_over_180; shortest round-trip numbers, an
// empty field where a value is missing, LF line ends; written into `file` and
// completed, for the caller to put in place with the sweep's other outputs.
// False when it could not be written (the file is then abandoned).
bool WriteSweepCurve(AtomicFile& file, const std::vector<CurveRow>& rows);
// The curve alone, replacing a file of that name only when complete.
bool WriteSweepCurve(const std::string& path, const std::vector<CurveRow>& rows);

}  // namespace torvane
