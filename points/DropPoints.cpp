#include "points/DropPoints.h"

#include <algorithm>

#include "points/PointBounds.h"

namespace torvane {

std::size_t DropPoints(PointSet& points, const std::vector<bool>& keep) {
  if (std::find(keep.begin(), keep.end(), false) == keep.end()) return 0;
  const std::size_t count = points.points.size();
  std::size_t kept = 0;
  std::string label_text;
  std::vector<std::uint64_t> label_end;
  Box box;
  for (std::size_t i = 0; i < count; ++i) {
    if (!keep[i]) continue;
    if (points.HasLabels()) {
      label_text.append(points.Label(i));
      label_end.push_back(label_text.size());
    }
    if (!points.file_xy.empty()) {
      points.file_xy[2 * kept] = points.file_xy[2 * i];
      points.file_xy[2 * kept + 1] = points.file_xy[2 * i + 1];
    }
    SurveyPoint p = points.points[i];
    p.x -= points.shift_x;
    p.y -= points.shift_y;
    box.Add(p.x, p.y);
    points.points[kept++] = p;
  }
  const std::size_t dropped = count - kept;
  points.points.resize(kept);
  if (!points.file_xy.empty()) points.file_xy.resize(2 * kept);
  if (points.HasLabels()) {
    points.label_text = std::move(label_text);
    points.label_end = std::move(label_end);
  }
  SetBounds(box, points);  // within the range of the box the points had
  ShiftPoints(points);
  return dropped;
}

}  // namespace torvane
