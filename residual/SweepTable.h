#pragma once
// The sweep's wide table: X, Y, POINT and U, then for each radius in the
// sweep's order its residual and ring count, headed TORVANE_<R> and N_<R>
// (fixed width, each field as in the residual table, widened to its name),
// or in CSV x,y,point,cba,residual_<R>,n_<R>,... when the name ends in .csv.

#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "points/PointSet.h"
#include "residual/RadiusSweep.h"

namespace torvane {

// R in plain decimal (PlainText): 100000, 2000000, 0.5.
std::string RadiusName(double radius);

// Writes the table into `file` (CSV when `name` ends in .csv) and completes
// it, for the caller to put in place with the sweep's other outputs. False
// when it could not be written (the file is then abandoned).
bool WriteSweepTable(AtomicFile& file, const std::string& name, const PointSet& points,
                     const std::vector<SweepColumn>& columns);
// The table alone, replacing a file of that name only when complete.
bool WriteSweepTable(const std::string& path, const PointSet& points,
                     const std::vector<SweepColumn>& columns);

}  // namespace torvane
