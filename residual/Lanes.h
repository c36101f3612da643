#pragma once
// Four doubles or four 64-bit integers worked at once: one AVX2 register in
// the builds for processors that have it, two SSE2 registers otherwise. The
// operations on lanes are the IEEE operations on each lane, so a result
// never depends on the build.

#include <cstdint>
#include <cstring>

namespace torvane {

using Doubles = double __attribute__((vector_size(4 * sizeof(double))));
using Longs = std::int64_t __attribute__((vector_size(4 * sizeof(std::int64_t))));
inline constexpr std::int64_t kLanes = 4;

// Vectors pass by reference only: their passing in registers would differ
// between the builds for the different processors.
template <typename Vector, typename Value>
inline void Load(const Value* values, Vector& vector) {
  std::memcpy(&vector, values, sizeof vector);
}

inline std::int64_t LaneSum(const Longs& lanes) {
  return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
}

inline std::int64_t LaneOr(const Longs& lanes) {
  return (lanes[0] | lanes[1]) | (lanes[2] | lanes[3]);
}

}  // namespace torvane
