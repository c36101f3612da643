#include "residual/ExactSum.h"

#include <cmath>
#include <utility>

namespace torvane {

void ExactSum::Reset() {
  partials_.clear();
  plain_ = 0;
  overflowed_ = false;
}

void ExactSum::Add(double value) {
  plain_ += value;
  if (overflowed_) return;
  std::size_t kept = 0;
  double x = value;
  for (double y : partials_) {
    if (std::fabs(x) < std::fabs(y)) std::swap(x, y);
    const double high = x + y;
    const double low = y - (high - x);
    if (low != 0.0) partials_[kept++] = low;
    x = high;
  }
  partials_.resize(kept);
  partials_.push_back(x);
  // A sum beyond the double range has no exact representation to round; the
  // plain sum then gives the infinity the caller would see anyway.
  if (!std::isfinite(x)) overflowed_ = true;
}

double ExactSum::Result() const {
  if (overflowed_) return plain_;
  std::size_t n = partials_.size();
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
