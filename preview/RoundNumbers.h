#pragma once
// Round numbers: 1, 2, 2.5 or 5 times a power of ten, for cells, tick
// spacings and contour intervals.

namespace torvane {

// The largest round number not above `value`; 0 for a value that is not
// positive and finite.
double RoundNumber(double value);

// The smallest round number not below `value`; 1 for a value that is not
// positive and finite.
double RoundStepAtLeast(double value);

}  // namespace torvane
