#include "points/NormalGravity.h"

#include <cmath>
#include <numbers>
#include <string>

namespace torvane {
namespace {

constexpr double kMilligal = 1e5;  // mGal in 1 m s^-2

constexpr EllipsoidConstants kGrs80{6378137.0,        1.0 / 298.257222101, 3.986005e14,
                                    7.292115e-5,      978032.67715,        0.001931851353,
                                    0.00669438002290};
constexpr EllipsoidConstants kWgs84{6378137.0,        1.0 / 298.257223563, 3.986004418e14,
                                    7.292115e-5,      978032.53359,        0.00193185265241,
                                    0.00669437999013};

double Radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

}  // namespace

const EllipsoidConstants& ConstantsOf(Ellipsoid ellipsoid) {
  return ellipsoid == Ellipsoid::kWgs84 ? kWgs84 : kGrs80;
}

std::optional<Ellipsoid> EllipsoidNamed(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "grs80") return Ellipsoid::kGrs80;
  if (lower == "wgs84") return Ellipsoid::kWgs84;
  return std::nullopt;
}

double NormalGravityOnEllipsoid(double latitude, Ellipsoid ellipsoid) {
  const EllipsoidConstants& e = ConstantsOf(ellipsoid);
  const double sin_phi = std::sin(Radians(latitude));
  const double s2 = sin_phi * sin_phi;
  return e.gamma_equator * (1 + e.somigliana_k * s2) / std::sqrt(1 - e.eccentricity2 * s2);
}

// The point's place in ellipsoidal-harmonic coordinates: u, the semi-minor
// axis of the confocal ellipsoid through it, and its reduced latitude beta
// on that ellipsoid; the normal gravity is then that of the level
// ellipsoid's potential at (u, beta), its small beta component left out.
double NormalGravityAtHeight(double latitude, double height, Ellipsoid ellipsoid) {
  const EllipsoidConstants& e = ConstantsOf(ellipsoid);
  const double a = e.semimajor_axis;
  const double b = a * (1 - e.flattening);
  const double linear2 = a * a - b * b;  // E^2
  const double linear = std::sqrt(linear2);
  const double phi = Radians(latitude);
  const double sin_phi = std::sin(phi);
  const double cos_phi = std::cos(phi);
  const double prime_vertical = a / std::sqrt(1 - e.eccentricity2 * sin_phi * sin_phi);
  const double rho = (prime_vertical + height) * cos_phi;  // distance from the axis
  const double z = (prime_vertical * (1 - e.eccentricity2) + height) * sin_phi;
  const double r2 = rho * rho + z * z;
  const double d = r2 - linear2;
  // u^2 = (r^2 - E^2) / 2 * (1 + sqrt(1 + 4 E^2 z^2 / (r^2 - E^2)^2)), written
  // so that no difference of near-equal numbers is formed.
  const double u2 = 0.5 * (d + std::sqrt(d * d + 4 * linear2 * z * z));
  const double u = std::sqrt(u2);
  const double beta = std::atan2(z * std::sqrt(u2 + linear2), u * rho);
  const double sin_beta2 = std::sin(beta) * std::sin(beta);
  const double cos_beta2 = 1 - sin_beta2;
  const double w = std::sqrt((u2 + linear2 * sin_beta2) / (u2 + linear2));
  const auto q_of = [&](double v) {
    return 0.5 * ((1 + 3 * v * v / linear2) * std::atan(linear / v) - 3 * v / linear);
  };
  const double q0 = q_of(b);
  const double q_prime = 3 * (1 + u2 / linear2) * (1 - u / linear * std::atan(linear / u)) - 1;
  const double omega2 = e.angular_velocity * e.angular_velocity;
  const double gamma = (e.gm / (u2 + linear2) +
                        omega2 * a * a * linear * q_prime / ((u2 + linear2) * q0) *
                            (0.5 * sin_beta2 - 1.0 / 6.0) -
                        omega2 * u * cos_beta2) /
                       w;
  return gamma * kMilligal;
}

}  // namespace torvane
