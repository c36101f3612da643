#pragma once
// The options that judge rings, shared by the residual run and the sweep:
// --min-ring-points K and --max-gap DEG (a point whose ring falls short gets
// no residual).

#include <optional>

#include "residual/RingQuality.h"

namespace CLI {
class App;
}

namespace torvane {

struct BlankingFlags {
  std::optional<int> min_ring_points;
  std::optional<double> max_gap;
  RingBlanking Blanking() const;
};

void AddBlankingOptions(CLI::App& app, BlankingFlags& flags);

}  // namespace torvane
