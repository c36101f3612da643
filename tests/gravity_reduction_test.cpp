// The reductions of absolute gravity against independent numbers: the
// ellipsoids' defining values of normal gravity, the second-order formula of
// normal gravity at height (Hinze et al., 2005), the Bouguer plate's textbook
// value, the spherical cap integrated numerically, and the free-air anomaly
// a survey's own processing published.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "points/BouguerPlate.h"
#include "points/NormalGravity.h"

namespace torvane {
namespace {

TEST(NormalGravity, OnTheEllipsoidMatchesItsDefiningValues) {
  struct Case {
    Ellipsoid ellipsoid;
    double latitude, expected, tolerance;
  };
  const Case cases[] = {
      {Ellipsoid::kGrs80, 0, 978032.67715, 1e-5},  {Ellipsoid::kGrs80, 45, 980619.92, 0.01},
      {Ellipsoid::kGrs80, 90, 983218.63685, 1e-5}, {Ellipsoid::kGrs80, -90, 983218.63685, 1e-5},
      {Ellipsoid::kWgs84, 0, 978032.53359, 1e-5},  {Ellipsoid::kWgs84, 90, 983218.49378, 1e-4},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(NormalGravityOnEllipsoid(c.latitude, c.ellipsoid), c.expected, c.tolerance)
        << c.latitude;
    // The closed form at height 0 is the same field.
    EXPECT_NEAR(NormalGravityAtHeight(c.latitude, 0, c.ellipsoid), c.expected,
                c.tolerance + 1e-4)
        << c.latitude;
  }
}

TEST(NormalGravity, AtHeightAgreesWithTheSecondOrderFormula) {
  double worst = 0;
  for (int latitude = 0; latitude <= 90; latitude += 5) {
    const double s = std::sin(latitude * std::numbers::pi / 180);
    for (int height = 0; height <= 5000; height += 250) {
      const double h = height;
      const double second_order = NormalGravityOnEllipsoid(latitude, Ellipsoid::kGrs80) -
                                  (0.3087691 - 0.0004398 * s * s) * h + 7.2125e-8 * h * h;
      worst = std::max(
          worst, std::fabs(NormalGravityAtHeight(latitude, h, Ellipsoid::kGrs80) - second_order));
    }
  }
  EXPECT_LT(worst, 0.05);
}

// The attraction of a spherical cap on a sphere of radius 6371 km, from the
// station at its top's centre: the angle integrated in closed form, the
// radius by Simpson's rule.
double CapAttraction(double height, double density) {
  const double r0 = 6371000, rs = r0 + height;
  const double cos_alpha = std::cos(kBullardCapRadius / r0);
  // Integral over cos(theta) from cos_alpha to 1 of the vertical pull of a
  // ring at radius r, per r^2.
  const auto ring = [&](double r) {
    const auto antiderivative = [&](double u) {
      const double d = std::sqrt(rs * rs + r * r - 2 * rs * r * u);
      return (-d / (rs * r) + (rs * rs - r * r) / (rs * r * d)) / (2 * rs);
    };
    return r * r * (1 / (rs * rs) - antiderivative(cos_alpha));
  };
  constexpr int kSteps = 2000;
  const double step = height / kSteps;
  double sum = ring(r0) + ring(rs);
  for (int k = 1; k < kSteps; ++k) sum += (k % 2 ? 4 : 2) * ring(r0 + k * step);
  return 2 * std::numbers::pi * kGravitationalConstant * density * sum * step / 3 * 1e5;
}

TEST(BouguerPlate, PlateAndCapMatchIndependentValues) {
  EXPECT_NEAR(BouguerPlate(1000, 2670), 111.97, 0.01);
  EXPECT_NEAR(BouguerPlate(1000, 2000), 2000.0 / 2670 * BouguerPlate(1000, 2670), 1e-9);
  for (const double height : {10.0, 300.0, 1000.0, 3000.0, 5000.0}) {
    EXPECT_NEAR(BouguerPlate(height, 2670) + BullardB(height, 2670),
                CapAttraction(height, 2670), 1e-4)
        << height;
  }
  EXPECT_NEAR(BullardB(0, 2670), 0, 1e-6);
}

}  // namespace
}  // namespace torvane
