#pragma once
// The attraction of the rock between a station and the ellipsoid: an
// infinite plate of the station's height (Bullard A), and the correction
// that turns the plate into a spherical cap of 166.735 km surface radius
// (Bullard B, the earth's curvature; LaFehr, 1991).

namespace torvane {

inline constexpr double kGravitationalConstant = 6.6743e-11;  // m^3 kg^-1 s^-2
inline constexpr double kCrustDensity = 2670;                   // kg m^-3
inline constexpr double kBullardCapRadius = 166735;             // m, along the surface

// 2 pi G rho h, in mGal, for `height` in metres and `density` in kg m^-3.
double BouguerPlate(double height, double density);

// The cap's attraction less the plate's, in mGal: add it to BouguerPlate for
// the attraction of the cap. About +1.1 mGal at 1000 m and 2670 kg m^-3,
// falling to -1.5 mGal at 5000 m.
double BullardB(double height, double density);

}  // namespace torvane
