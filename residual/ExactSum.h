#pragma once
// The correctly rounded sum of a list of doubles: the exact mathematical sum,
// rounded once. Unlike a running double sum it does not depend on the order of
// the values, so a ring mean is the same whichever way its points are found
// and however many threads find them. The partial sums are those of
// Shewchuk's algorithm (as Python's math.fsum keeps them).

#include <cmath>
#include <vector>

namespace torvane {

class ExactSum {
 public:
  void Reset() {
    count_ = 0;
    plain_ = 0;
  }

  void Add(double value) {
    plain_ += value;
    if (count_ < 0) return;  // overflowed: the plain sum stands
    double* partials = partials_.data();
    int kept = 0;
    double x = value;
    for (int i = 0; i < count_; ++i) {
      // Knuth's two-sum: high + low == x + partial exactly, with no branch.
      const double y = partials[i];
      const double high = x + y;
      const double y_part = high - x;
      const double x_part = high - y_part;
      const double low = (x - x_part) + (y - y_part);
      partials[kept] = low;
      kept += low != 0.0;
      x = high;
    }
    if (kept < static_cast<int>(partials_.size())) {
      partials[kept] = x;
    } else {
      partials_.push_back(x);  // beyond what real data ever needs
    }
    count_ = kept + 1;
    // A sum beyond the double range has no exact value to round; the plain
    // sum then gives the infinity the caller would see anyway.
    if (!std::isfinite(x)) count_ = -1;
  }

  double Result() const;

 private:
  // Partials do not overlap and rise in magnitude; sums of real data need a
  // handful, so the room made at the start is never outgrown in practice
  // and Add allocates nothing.
  std::vector<double> partials_ = std::vector<double>(64);
  int count_ = 0;  // partials in use; -1 once a partial overflowed
  double plain_ = 0;
};

}  // namespace torvane
