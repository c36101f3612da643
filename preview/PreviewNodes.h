#pragma once
// The inverse-distance gridding of the previews and maps. A node's value is
// the mean of the chosen value of the points within the gridding radius,
// each weighted by 1 / distance, with the distance taken after adding 0.001
// to both coordinate differences. Only cells of the neighbour cluster near
// the node are searched.
//
// The previews put their nodes on the centres of the cluster's cells, one
// cell size apart: node (i, j) at (min_x + i * step, min_y + j * step), and
// search the cells within a fixed reach of the node's own cell. A map puts
// its nodes on a lattice of its own (any spacing, any origin) and searches
// the cells that the gridding radius around each node reaches.

#include <optional>
#include <span>
#include <vector>

#include "points/NeighbourCluster.h"
#include "points/PointSet.h"

namespace torvane {

// Nodes (i, j), 0 <= i < nx, 0 <= j < ny, at (x0 + i * step, y0 + j * step),
// in the stored (shifted) coordinates of the points.
struct NodeSpacing {
  double x0 = 0;
  double y0 = 0;
  double step = 0;
  int nx = 0;
  int ny = 0;
};

// The value of a SurveyPoint by its slot number: 0 x, 1 y, 2 point,
// 3 height, 4 cba, 5 residual; nothing for any other number.
std::optional<double SurveyPoint::*> ValueOfSlot(int slot);

class PreviewNodes {
 public:
  // Nodes on the cluster's cell centres. `value` picks the value of a point
  // to grid (&SurveyPoint::cba, ...). `reach_cells` is how many cells on
  // each side of a node's own cell are searched. `points` and `cluster`
  // must outlive this object.
  PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
               double SurveyPoint::*value, double step, double radius, int reach_cells);
  // Nodes on `lattice`; `cell_size` is the cluster's. Every point within
  // the radius of a node is found, wherever the node lies.
  PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
               double SurveyPoint::*value, const NodeSpacing& lattice, double cell_size,
               double radius);
  // The same with a value of each point's own, in point order (one per point).
  PreviewNodes(const PointSet& points, const NeighbourCluster& cluster,
               std::span<const double> values, const NodeSpacing& lattice, double cell_size,
               double radius);

  int nx() const { return lattice_.nx; }
  int ny() const { return lattice_.ny; }

  // The value of node (i, j), 0 <= i < nx, 0 <= j < ny: blank when no point
  // lies within the radius. A point at exactly the radius counts. A point at
  // distance 0 gives the node its value outright (the mean of all such
  // points, should there be several).
  float Node(int i, int j) const;

 private:
  // The cluster's cells searched for one node, both ends included.
  struct CellWindow {
    std::int32_t k_first, k_last, l_first, l_last;
  };
  CellWindow WindowOf(int i, int j, double node_x, double node_y) const;
  // Copies the points' positions and the values value_of(index) in cell order.
  template <typename ValueOf>
  void Pack(ValueOf value_of);

  // A point's position and value, copied in the order of the cluster's cell
  // lists: the nodes of a map read their cells from contiguous memory
  // instead of hopping through the whole point array.
  struct Packed {
    double x, y, v;
  };

  const PointSet& points_;
  const NeighbourCluster& cluster_;
  double SurveyPoint::*value_;
  NodeSpacing lattice_;
  double radius_;
  double cell_size_ = 0;  // set when the nodes lie on a lattice of their own
  int reach_cells_ = 0;   // for nodes on the cells' centres
  std::vector<Packed> packed_;  // for nodes on a lattice of their own
  const std::int32_t* first_index_ = nullptr;  // where the cluster's cell lists begin
};

// The number of cells to search on each side of a node's cell: the reach in
// cells, rounded up, and no more than the cluster has.
int ReachInCells(double reach, double step, const NeighbourCluster& cluster);

}  // namespace torvane
