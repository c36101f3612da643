#include "preview/PreviewData.h"

#include <limits>

namespace torvane {

float StorePreviewValue(double value) {
  if (!(value < 1e37)) return kPreviewBlank;
  constexpr double kLowest = std::numeric_limits<float>::lowest();
  if (value < kLowest) return static_cast<float>(kLowest);
  return static_cast<float>(value);
}

}  // namespace torvane
