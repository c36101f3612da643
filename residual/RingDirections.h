#pragma once
// The directions of grid mode's ring samples: sample k of N lies at the
// angle k * (360 / N) degrees counter-clockwise from +X, at
// (cos(a) * R + x, sin(a) * R + y) around the point (x, y).

#include <cstdint>

namespace torvane {

// Degrees between samples; 0 for no samples.
inline double RingStep(std::int32_t ring_points) {
  return ring_points > 0 ? 360.0 / ring_points : 0;
}

// Sample k's angle in radians, for a step from RingStep.
inline double RingAngle(std::int32_t k, double step) {
  constexpr double kPi = 3.141592653589793;
  return static_cast<double>(k) * step * kPi / 180;
}

}  // namespace torvane
