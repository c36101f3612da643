#pragma once
// The sweep's wide table: X, Y, POINT and U, then for each radius in the
// sweep's order its residual and ring count, headed TORVANE_<R> and N_<R>
// (fixed width, each field as in the residual table, widened to its name),
// or in CSV x,y,point,cba,residual_<R>,n_<R>,... when the name ends in .csv.

#include <string>
#include <vector>

#include "points/PointSet.h"
#include "residual/RadiusSweep.h"

namespace torvane {

// R in plain decimal (PlainText): 100000, 2000000, 0.5.
std::string RadiusName(double radius);

// Writes the table, replacing a file of that name only when complete. False
// when it could not be written (the target is then as it was).
bool WriteSweepTable(const std::string& path, const PointSet& points,
                     const std::vector<SweepColumn>& columns);

}  // namespace torvane
