#include "points/BouguerPlate.h"

#include <cmath>
#include <numbers>

namespace torvane {
namespace {

constexpr double kMilligal = 1e5;        // mGal in 1 m s^-2
constexpr double kMeanRadius = 6371000;  // m, the sphere the cap lies on

}  // namespace

double BouguerPlate(double height, double density) {
  return 2 * std::numbers::pi * kGravitationalConstant * density * height * kMilligal;
}

// LaFehr's exact formula: 2 pi G rho (mu h - lambda R), with the station at
// R = R0 + h above the centre and the cap's angle alpha = S / R0.
double BullardB(double height, double density) {
  const double r = kMeanRadius + height;
  const double alpha = kBullardCapRadius / kMeanRadius;
  const double eta = height / r;
  const double delta = kMeanRadius / r;
  const double cos_a = std::cos(alpha);
  const double sin_a = std::sin(alpha);
  const double sin_half = std::sin(alpha / 2);
  const double d = 3 * cos_a * cos_a - 2;
  const double f = cos_a;
  const double k = sin_a * sin_a;
  const double p = -6 * cos_a * cos_a * sin_half + 4 * sin_half * sin_half * sin_half;
  const double m = -3 * sin_a * sin_a * cos_a;
  const double n = 2 * (sin_half - sin_half * sin_half);
  const double root = std::sqrt((f - delta) * (f - delta) + k);
  const double mu = eta * eta / 3 - eta;
  const double lambda =
      ((d + f * delta + delta * delta) * root + p + m * std::log(n / (f - delta + root))) / 3;
  return 2 * std::numbers::pi * kGravitationalConstant * density * (mu * height - lambda * r) *
         kMilligal;
}

}  // namespace torvane
