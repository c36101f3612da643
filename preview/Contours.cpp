#include "preview/Contours.h"

#include <algorithm>
#include <cmath>

#include "preview/PreviewData.h"
#include "preview/RoundNumbers.h"

namespace torvane {

std::vector<ContourSegment> ContourSegments(const MapSurface& surface, double level) {
  std::vector<ContourSegment> segments;
  if (surface.empty() || surface.nx < 2 || surface.ny < 2) return segments;
  const auto at = [&](int i, int j) {
    return surface.values[static_cast<std::size_t>(i) * static_cast<std::size_t>(surface.ny) +
                          static_cast<std::size_t>(j)];
  };
  struct Point {
    double x, y;
  };
  for (int i = 0; i + 1 < surface.nx; ++i) {
    for (int j = 0; j + 1 < surface.ny; ++j) {
      // Corners counter-clockwise from the south-west.
      const double z[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
      if (IsPreviewBlank(static_cast<float>(z[0])) || IsPreviewBlank(static_cast<float>(z[1])) ||
          IsPreviewBlank(static_cast<float>(z[2])) || IsPreviewBlank(static_cast<float>(z[3]))) {
        continue;
      }
      const bool above[4] = {z[0] >= level, z[1] >= level, z[2] >= level, z[3] >= level};
      const double cx[4] = {0, 1, 1, 0};
      const double cy[4] = {0, 0, 1, 1};
      Point crossing[4];
      int count = 0;
      for (int e = 0; e < 4; ++e) {
        const int a = e, b = (e + 1) % 4;
        if (above[a] == above[b]) continue;
        const double t = (level - z[a]) / (z[b] - z[a]);
        crossing[count] = {surface.x0 + (i + cx[a] + t * (cx[b] - cx[a])) * surface.dx,
                           surface.y0 + (j + cy[a] + t * (cy[b] - cy[a])) * surface.dy};
        ++count;
      }
      if (count == 2) {
        segments.push_back({crossing[0].x, crossing[0].y, crossing[1].x, crossing[1].y});
      } else if (count == 4) {
        // A saddle: the centre's side decides which corners are joined.
        const bool centre_above = (z[0] + z[1] + z[2] + z[3]) / 4 >= level;
        // Edges e and e+1 meet at corner e+1; pair the edges around the
        // corners that differ from the centre.
        const int first = above[1] != centre_above ? 0 : 1;
        segments.push_back({crossing[first].x, crossing[first].y, crossing[first + 1].x,
                            crossing[first + 1].y});
        const int third = (first + 2) % 4, fourth = (first + 3) % 4;
        segments.push_back({crossing[third].x, crossing[third].y, crossing[fourth].x,
                            crossing[fourth].y});
      }
    }
  }
  return segments;
}

double ContourIntervalFor(const MapSurface& surface, int levels) {
  double low = INFINITY, high = -INFINITY;
  for (const float v : surface.values) {
    if (IsPreviewBlank(v)) continue;
    low = std::min(low, static_cast<double>(v));
    high = std::max(high, static_cast<double>(v));
  }
  if (!(high > low)) return 0;
  return RoundStepAtLeast((high - low) / std::max(levels, 1));
}

std::vector<double> ContourLevels(const MapSurface& surface, double interval, int most) {
  std::vector<double> levels;
  if (!(interval > 0) || !std::isfinite(interval) || surface.empty()) return levels;
  double low = INFINITY, high = -INFINITY;
  for (const float v : surface.values) {
    if (IsPreviewBlank(v)) continue;
    low = std::min(low, static_cast<double>(v));
    high = std::max(high, static_cast<double>(v));
  }
  if (!(high >= low)) return levels;
  const double first = std::ceil(low / interval);
  const double last = std::floor(high / interval);
  if (last - first + 1 > most) return levels;
  for (double k = first; k <= last; ++k) levels.push_back(k * interval);
  return levels;
}

}  // namespace torvane
