#pragma once
// The inverse-distance gridding of the previews. The nodes are the centres of
// the neighbour cluster's cells, one cell size apart: node (i, j) lies at
// (min_x + i * step, min_y + j * step). A node's value is the mean of the
// chosen value of the points within the gridding radius, each weighted by
// 1 / distance, with the distance taken after adding 0.001 to both
// coordinate differences. Only the cells within reach of the node's own cell
// are searched.

#include "points/NeighbourCluster.h"
#include "points/PointSet.h"

namespace torvane {

class PreviewNodes {
 public:
  // `value` picks the value of a point to grid (&SurveyPoint::cba, ...).
  // `reach_cells` is how many cells on each side of a node's own cell are
  // searched. `points` and `cluster` must outlive this object.
  PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
               double SurveyPoint::*value, double step, double radius, int reach_cells);

  int nx() const { return cluster_.nx(); }
  int ny() const { return cluster_.ny(); }

  // The value of node (i, j), 0 <= i < nx, 0 <= j < ny: blank when no point
  // lies within the radius. A point at exactly the radius counts. A point at
  // distance 0 gives the node its value outright (the mean of all such
  // points, should there be several).
  float Node(int i, int j) const;

 private:
  const PointSet& points_;
  const NeighbourCluster& cluster_;
  double SurveyPoint::*value_;
  double step_;
  double radius_;
  int reach_cells_;
};

// The number of cells to search on each side of a node's cell: the reach in
// cells, rounded up, and no more than the cluster has.
int ReachInCells(double reach, double step, const NeighbourCluster& cluster);

}  // namespace torvane
