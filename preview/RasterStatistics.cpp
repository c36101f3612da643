#include "preview/RasterStatistics.h"

#include <cmath>

namespace torvane {

void RasterStatistics::StoreIn(PreviewRaster& raster) const {
  if (count_ == 0) return;
  const double n = static_cast<double>(count_);
  raster.mean = sum_ / n;
  double std_dev = 1.0;
  if (count_ > 1) {
    const double variance = (n * sum_of_squares_ - sum_ * sum_) / (n * (n - 1));
    if (variance >= 0) std_dev = std::sqrt(variance);
  }
  // A flat raster would make every colour step zero wide.
  raster.std_dev = std::abs(std_dev) < 1e-6 || !std::isfinite(std_dev) ? 1.0 : std_dev;
}

}  // namespace torvane
