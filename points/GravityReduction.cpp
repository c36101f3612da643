#include "points/GravityReduction.h"

namespace torvane {

ReducedGravity ReduceGravity(const GravityReduction& reduction, double latitude, double height,
                             double gravity) {
  ReducedGravity out;
  out.normal_gravity =
      reduction.free_air_gradient
          ? NormalGravityOnEllipsoid(latitude, reduction.ellipsoid) -
                *reduction.free_air_gradient * height
          : NormalGravityAtHeight(latitude, height, reduction.ellipsoid);
  out.free_air = gravity - out.normal_gravity;
  double plate = BouguerPlate(height, reduction.density);
  if (reduction.bullard_b) plate += BullardB(height, reduction.density);
  out.bouguer = out.free_air - plate;
  return out;
}

}  // namespace torvane
