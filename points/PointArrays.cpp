#include "points/PointArrays.h"

#include <cstdint>
#include <limits>
#include <new>

#include "points/PointBounds.h"

namespace torvane {

bool PointSetFromArrays(Reporter& platform, std::span<const double> x, std::span<const double> y,
                        std::span<const double> point, std::span<const double> cba,
                        PointSet& points) {
  points.Clear();
  const std::size_t count = x.size();
  if (y.size() != count || cba.size() != count || (!point.empty() && point.size() != count)) {
    platform.ShowInfo("Survey arrays differ in length");
    return false;
  }
  if (count == 0) {
    platform.ShowInfo("Survey contains no points");
    return false;
  }
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  Box box;
  for (std::size_t i = 0; i < count; ++i) box.Add(x[i], y[i]);
  if (!SetBounds(box, points)) {
    points.Clear();
    platform.ShowInfo("Survey contains coordinates out of range");
    return false;
  }
  try {
    points.points.resize(count);
  } catch (const std::bad_alloc&) {
    points.Clear();
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    points.points[i] = {x[i] + points.shift_x, y[i] + points.shift_y,
                        point.empty() ? 0.0 : point[i], 0, cba[i], 0};
  }
  return true;
}

}  // namespace torvane
