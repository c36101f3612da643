#pragma once
// The correctly rounded sum of a list of doubles: the exact mathematical sum,
// rounded once. Unlike a running double sum it does not depend on the order of
// the values, so a ring mean is the same whichever way its points are found.
// The partial sums are those of Shewchuk's algorithm (as Python's math.fsum).

#include <vector>

namespace torvane {

class ExactSum {
 public:
  // Starts a new sum; the buffer's capacity is kept, so a reused ExactSum
  // does not allocate in a loop.
  void Reset();
  void Add(double value);
  double Result() const;

 private:
  std::vector<double> partials_;  // non-overlapping, increasing magnitude
  double plain_ = 0;              // the ordinary sum, used once a partial overflows
  bool overflowed_ = false;
};

}  // namespace torvane
