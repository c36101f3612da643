#pragma once
// One run, described completely and typed: where its stations come from and
// how to read them, the ring, the table it writes, and how its previews and
// maps grid the points. Every front end fills one (the window from its
// controls, torvane-cli from its flags) and hands it to Run; nothing of a
// run passes through a window.
//
// A new option of a run is a new field here, with a default that keeps the
// run as it was, read where the run uses it.

#include <string>

#include "points/ReadStations.h"
#include "residual/RingSource.h"

namespace torvane {

struct RunRequest {
  StationSource stations;   // the point file, its columns, CSV options and CRS
  std::string output_path;  // the residual table; CSV when the name ends in .csv
  RingRequest ring;         // R and D, or grid mode; quality and blanking
  // "Radius for gridding": above 0 the node step, gridding radius and reach
  // of the previews and maps, and the cell of the points' index; 0 keeps R.
  double gridding_radius = 0;

  double GriddingRadius() const { return gridding_radius > 0 ? gridding_radius : ring.radius; }
};

}  // namespace torvane
