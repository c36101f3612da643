#pragma once
// How absolute gravity at a station becomes its anomalies: the options of a
// run that reads absolute gravity and height in place of a Bouguer anomaly,
// and the reduction of one station.

#include <optional>

#include "points/BouguerPlate.h"
#include "points/NormalGravity.h"

namespace torvane {

struct GravityReduction {
  Ellipsoid ellipsoid = Ellipsoid::kGrs80;
  double density = kCrustDensity;  // kg m^-3, of the Bouguer plate
  // mGal per metre: normal gravity at height as gamma_0 - G h instead of its
  // closed form (0.3086 is the conventional value).
  std::optional<double> free_air_gradient;
  bool bullard_b = false;  // the plate turned into a cap of 166.735 km
};

// One station's values, all in mGal but its height (metres).
struct ReducedGravity {
  double normal_gravity = 0;  // at the station's height
  double free_air = 0;        // gravity less normal_gravity
  double bouguer = 0;         // free_air less the plate (or cap)
};

ReducedGravity ReduceGravity(const GravityReduction& reduction, double latitude, double height,
                             double gravity);

}  // namespace torvane
