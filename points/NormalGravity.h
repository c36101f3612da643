#pragma once
// Normal gravity: the gravity of the reference ellipsoid, the field a
// station's measured gravity is compared with. On the ellipsoid it follows
// Somigliana's closed formula; above it, the closed form for a point at
// ellipsoidal height h (Li and Gotze, 2001), exact for the level ellipsoid
// at any height, which the usual free-air gradient only approximates.

#include <optional>
#include <string_view>

namespace torvane {

enum class Ellipsoid { kGrs80, kWgs84 };

// The defining and derived constants of a level ellipsoid.
struct EllipsoidConstants {
  double semimajor_axis;  // a, m
  double flattening;      // f
  double gm;              // geocentric gravitational constant, m^3 s^-2
  double angular_velocity;  // omega, rad s^-1
  double gamma_equator;   // normal gravity on the equator, mGal
  double somigliana_k;    // k = b gamma_p / (a gamma_e) - 1
  double eccentricity2;   // first eccentricity squared, e^2
};

const EllipsoidConstants& ConstantsOf(Ellipsoid ellipsoid);

// "grs80" or "wgs84", in any letter case.
std::optional<Ellipsoid> EllipsoidNamed(std::string_view name);

// mGal at geodetic latitude `latitude` (degrees) on the ellipsoid.
double NormalGravityOnEllipsoid(double latitude, Ellipsoid ellipsoid);

// mGal at geodetic latitude `latitude` (degrees) and `height` metres above
// the ellipsoid (below it for a negative height, down to a few km).
double NormalGravityAtHeight(double latitude, double height, Ellipsoid ellipsoid);

}  // namespace torvane
