#pragma once
// The largest counts a run takes, the same in torvane-cli, the window (and
// its settings file) and the Python module: beyond them a run would take
// minutes or gigabytes for no better answer.

#include <cstddef>
#include <cstdint>

namespace torvane {

// Samples on a grid ring (grid mode, grid-residual): 2^20; 360 is the default.
inline constexpr std::int32_t kMostRingPoints = 1 << 20;

// Radii in one sweep.
inline constexpr std::size_t kMostSweepRadii = 1000;

}  // namespace torvane
