#include "grid/GridValues.h"

#include <algorithm>

namespace torvane {

GridValues BlankGridLike(const GridValues& grid) {
  GridValues blank;
  blank.ncols = grid.ncols;
  blank.nrows = grid.nrows;
  blank.xmin = grid.xmin;
  blank.ymin = grid.ymin;
  blank.dx = grid.dx;
  blank.dy = grid.dy;
  blank.crs = grid.crs;
  blank.units = grid.units;
  blank.nodes.assign(grid.nodes.size(), kBlankNode);
  return blank;
}

bool NodeRange(const GridValues& grid, double& low, double& high) {
  float lowest = 0;
  float highest = 0;
  bool any = false;
  for (const float value : grid.nodes) {
    if (IsBlank(value)) continue;
    lowest = any ? std::min(lowest, value) : value;
    highest = any ? std::max(highest, value) : value;
    any = true;
  }
  low = lowest;
  high = highest;
  return any;
}

}  // namespace torvane
