#pragma once
// The radii of a sweep as the user lists them: "500,1000,2000", or
// START:STOP:STEP for START, START + STEP, ... up to STOP (included when
// reached). Numbers are written with '.', since ',' separates them.

#include <string>
#include <vector>

#include "residual/RingLimits.h"

namespace torvane {

// False, with the reason in `problem`, unless the list holds 1 to
// kMostSweepRadii radii, each a number greater than 0.
bool ParseRadiusList(const std::string& text, std::vector<double>& radii, std::string& problem);

}  // namespace torvane
