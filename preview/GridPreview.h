#pragma once
// One preview from start to colours: grids one value of the points onto the
// cluster's nodes, resamples the nodes to the picture and colours it, under
// the busy cursor. After every node column the window processes its events;
// if Stop was pressed meanwhile, the user is asked "Cancel calculation?".

#include "common/Reporter.h"
#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "preview/PreviewData.h"

namespace torvane {

enum class PreviewOutcome {
  kCompleted,  // state.pixels hold the picture, ready to paint
  kCancelled,  // the user answered Yes; the stop request is still raised
  kFailed,     // nothing to paint; any message has been shown
  kIgnored,    // another gridding was in progress; this one did not start
};

struct PreviewRequest {
  // Which value of the points to grid, by its place in a SurveyPoint:
  // 0 x, 1 y, 2 point, 3 height, 4 cba, 5 residual.
  int slot = 4;
  double step = 0;    // node spacing; must be the cluster's cell size
  double radius = 0;  // points farther than this from a node are left out
  double reach = 0;   // how far around a node the cells are searched
  ImageSize picture;  // W x H of the picture
};

// `stop_requested` is the window's Stop flag: looked at after every node
// column, lowered when the user answers No. Fails for a slot outside 0 ... 5
// and when there are no nodes. Never throws for want of memory: that is
// reported with "Not enough memory for temporary buffer".
PreviewOutcome GridPreview(Reporter& platform, const PointSet& points,
                           const NeighbourCluster& cluster, const PreviewRequest& request,
                           bool& stop_requested, PreviewState& state);

}  // namespace torvane
