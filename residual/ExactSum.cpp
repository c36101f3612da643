#include "residual/ExactSum.h"

namespace torvane {

double ExactSum::Result() const {
  if (count_ < 0) return plain_;
  int n = count_;
  if (n == 0) return 0.0;
  double high = partials_[--n];
  double low = 0.0;
  while (n > 0) {
    const double x = high;
    const double y = partials_[--n];
    high = x + y;
    const double y_rounded = high - x;
    low = y - y_rounded;
    if (low != 0.0) break;
  }
  // Round half to even across the partials: when the rest lies exactly
  // half-way, the next partial's sign decides the direction.
  if (n > 0 && ((low < 0 && partials_[n - 1] < 0) || (low > 0 && partials_[n - 1] > 0))) {
    const double y = low * 2;
    const double x = high + y;
    if (y == x - high) high = x;
  }
  return high;
}

}  // namespace torvane
