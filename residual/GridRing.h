#pragma once
// Grid mode's ring: the grid interpolated at N equally spaced positions on
// the circle of radius R around a point, sample k at the angle k * 360 / N
// degrees counter-clockwise from +X. Samples where the grid is blank are
// skipped. Optionally the point's own CBA gives way to the grid's value at
// the point.

#include <cstdint>
#include <vector>

#include "grid/BilinearBatch.h"
#include "grid/Gridimport.h"
#include "residual/PointRing.h"

namespace torvane {

class GridRing {
 public:
  GridRing(const TGridImport& grid, double radius, std::int32_t ring_points,
           bool use_interpolated_cba);

  // The CBA the residual starts from, at file coordinates (xf, yf): the
  // grid's value there when asked for and not blank, else `own_cba`.
  double CentreValue(double xf, double yf, double own_cba) const;
  // The sum (in double, sample by sample) and the number of the usable
  // samples around (xf, yf).
  RingValues Gather(double xf, double yf) const;
  // The same ring and its quality; `members` is the caller's scratch space
  // (one per thread).
  RingValues GatherWithQuality(double xf, double yf, RingMembers& members,
                               RingQuality& quality) const;
  // Where sample k lies: exactly cos(a) * R + xf, sin(a) * R + yf with
  // a = k * (360 / N) * pi / 180.
  void SamplePosition(std::int32_t k, double xf, double yf, double& px, double& py) const;

 private:
  template <typename Use>
  void ForEachBatch(double xf, double yf, Use&& use) const;

  const TGridImport& grid_;
  double radius_;
  std::int32_t ring_points_;
  bool use_interpolated_cba_;
  double step_;  // degrees between samples
  const BilinearKernels& kernels_;
  // cos(a) and sin(a) of the first directions, worked out once per run.
  std::vector<double> cos_;
  std::vector<double> sin_;
};

}  // namespace torvane
