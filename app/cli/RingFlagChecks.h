#pragma once
// The checks the window makes when its number fields are left, made on the
// fields the batch command filled (from its flags or --config), with
// messages that name the flag and its value.

#include <optional>

#include "app/cli/BatchConfig.h"

namespace torvane {

// Whether --band and --gridding-radius were given on the command line
// (their values are then checked even where the window would let them be).
struct RingFlagsGiven {
  bool band = false;
  bool gridding_radius = false;
};

// --radius a number > 0; in point mode --band a number > 0 (when given) and
// at most the radius; --gridding-radius 0 or a number > 0. Answers the
// usage error's exit code (told on stderr), or nothing when all pass.
std::optional<int> CheckRingFlags(const BatchFields& fields, char separator,
                                  RingFlagsGiven given);

}  // namespace torvane
