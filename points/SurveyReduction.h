#pragma once
// The reduction of a station table read with absolute gravity (mGal) in the
// CBA's place and the station's height (metres) beside it: each station's
// normal gravity, free-air anomaly and simple Bouguer anomaly, the latter
// then held as the station's CBA for the rings.

#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/GravityReduction.h"
#include "points/PointSet.h"

namespace torvane {

// What the table of `torvane-cli reduce` writes beside the stations, one
// value per station kept, in file order (mGal; heights in metres).
struct ReducedSurvey {
  std::vector<double> gravity, height, normal_gravity, free_air;
};

// Stations with absolute gravity below this (mGal) hold an anomaly.
inline constexpr double kLeastAbsoluteGravity = 10000;
// A CBA column whose every value lies above this (mGal) holds absolute gravity.
inline constexpr double kLeastGravityTakenForAnomaly = 900000;

// Reduces the points read from `path` in place, their latitudes from their
// file coordinates in `crs`. Stations whose latitude lies outside +-90
// degrees (or cannot be had) are dropped and counted in a note; values that
// look like anomalies rather than absolute gravity bring a warning naming
// `gravity_column`. False, with the user told, when no station is left or
// `crs` cannot give latitudes. `reduced` may be null.
bool ReduceSurvey(Reporter& platform, const GravityReduction& reduction, const std::string& crs,
                  const std::string& path, const std::string& gravity_column, PointSet& points,
                  ReducedSurvey* reduced);

// Warns, naming `column`, when every point's CBA lies above
// kLeastGravityTakenForAnomaly: a column of absolute gravity taken for an
// anomaly. The run goes on.
void WarnIfAbsoluteGravity(Reporter& platform, const PointSet& points, const std::string& column);

}  // namespace torvane
