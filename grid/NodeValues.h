#pragma once
// How a grid marks a node without a value. A node or interpolation result of
// 1e38 or more is blank; the grid stores 1.70141e38 (Surfer's own marker) for
// every node that its file marks as missing.

#include <limits>

namespace torvane {

inline constexpr double kBlankValue = 1.70141e38;
inline constexpr float kBlankNode = static_cast<float>(kBlankValue);
inline constexpr double kBlankThreshold = 1e38;

inline bool IsBlank(double value) { return value >= kBlankThreshold; }

// A value as a node holds it: in single precision, and kBlankNode for a value
// that is blank, that is not a number, or that lies below the float range
// (a float cannot hold it, and -infinity would swamp every mean).
inline float NodeFromDouble(double value) {
  if (IsBlank(value) || !(value >= -static_cast<double>(std::numeric_limits<float>::max()))) {
    return kBlankNode;
  }
  return static_cast<float>(value);
}

}  // namespace torvane
