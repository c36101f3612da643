#pragma once
// The central computation: for every point, its CBA less the mean CBA of its
// ring, stored in the point and written as one line of the residual table.

#include <cstdint>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"
#include "residual/RingQuality.h"

namespace torvane {

struct ResidualRequest {
  std::string output_path;
  double search_radius = 0;  // R
  double depth_band = 0;     // D, half-width of the ring along the radius
  // Grid mode: the ring is sampled from the grid file instead of the points.
  bool use_grid = false;
  std::string grid_path = {};
  bool use_interpolated_cba = false;  // the grid's value at the point replaces its CBA
  std::int32_t ring_points = 0;       // N, samples on the ring
  std::uint64_t grid_memory_limit = UINT64_MAX;  // most memory the grid's nodes may take
  // When given, receives every point's N (the ring values used), in point order.
  std::vector<std::int32_t>* ring_counts = nullptr;
  bool quality = false;          // GAP, SECTORS and SD after N
  // With `quality`, when given, receives every point's ring quality, in point order.
  std::vector<RingQuality>* qualities = nullptr;
  RingBlanking blanking = {};    // points whose ring falls short get no residual (NaN)
  // The window's Stop flag, when given: looked at with the events; once it
  // is raised the user is asked "Cancel calculation?", and a Yes ends the
  // computation with no table written.
  bool* stop_requested = nullptr;
};

// Writes the table to request.output_path (CSV when its name ends in
// ".csv") (replacing a file of that name only
// when complete), advancing the progress bar by one and processing pending
// events once per point. False when the table could not be written; the user
// has then been told, or the user stopped it, and an existing file of that
// name is unchanged.
// `empty_rings`, when given, receives the number of points whose ring held
// no value (N = 0, residual written as 0).
bool ComputeResiduals(Reporter& platform, const ResidualRequest& request, PointSet& points,
                      int* empty_rings = nullptr);

}  // namespace torvane
