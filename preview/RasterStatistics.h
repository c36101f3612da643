#pragma once
// The mean and standard deviation of a raster's valued pixels, by which the
// colour scale is laid: sums in double precision, and a standard deviation
// of 1.0 when the values hardly vary (below 1e-6) or are too few to measure.

#include <cstdint>

#include "preview/PreviewData.h"

namespace torvane {

class RasterStatistics {
 public:
  void Add(float value) {
    sum_ += value;
    sum_of_squares_ += static_cast<double>(value) * value;
    ++count_;
  }
  std::int64_t count() const { return count_; }

  // Sets the raster's mean and standard deviation; leaves them alone when
  // no pixel is valued.
  void StoreIn(PreviewRaster& raster) const;

 private:
  double sum_ = 0;
  double sum_of_squares_ = 0;
  std::int64_t count_ = 0;
};

}  // namespace torvane
