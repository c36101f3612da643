#include "preview/RoundNumbers.h"

#include <cmath>
#include <initializer_list>

namespace torvane {

double RoundNumber(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 0;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  double best = power;
  for (const double m : {2.0, 2.5, 5.0, 10.0}) {
    if (m * power <= value * (1 + 1e-12)) best = m * power;
  }
  return best;
}

double RoundStepAtLeast(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double m : {1.0, 2.0, 2.5, 5.0}) {
    if (m * power >= value * (1 - 1e-12)) return m * power;
  }
  return 10 * power;
}

}  // namespace torvane
