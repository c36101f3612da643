#include "app/cli/RingOptions.h"

#include <CLI/CLI.hpp>
#include <limits>

namespace torvane {

RingBlanking BlankingFlags::Blanking() const {
  RingBlanking blanking;
  if (min_ring_points) blanking.min_points = *min_ring_points;
  if (max_gap) blanking.max_gap = *max_gap;
  return blanking;
}

void AddBlankingOptions(CLI::App& app, BlankingFlags& flags) {
  app.add_option("--min-ring-points", flags.min_ring_points,
                 "Give no residual (NaN in the table, empty in CSV) to a point with fewer\n"
                 "than K ring values")
      ->option_text("K")
      ->check(CLI::Range(0, std::numeric_limits<int>::max()));
  app.add_option("--max-gap", flags.max_gap,
                 "Give no residual to a point whose ring leaves a gap wider than DEG\n"
                 "degrees (0 to 360) with no ring value in it")
      ->option_text("DEG")
      ->check(CLI::Range(0.0, 360.0));
}

}  // namespace torvane
