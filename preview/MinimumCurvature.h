#pragma once
// Gridding scattered samples by continuous curvature splines in tension.
//
// The surface z on a square lattice solves (1 - T) del^4 z - T del^2 z = 0
// between the samples (T the tension: 0 gives the minimum-curvature
// surface, 1 a harmonic one), with the discrete operators of unit node
// spacing: the 13-node biharmonic stencil and the 5-node Laplacian, so
//   z0 = [(1 - T)(8 S1 - 2 S2 - S3) + T S1] / [20 (1 - T) + 4 T]
// for the sums S1 of the four edge neighbours, S2 of the four diagonal ones
// and S3 of the four two nodes away.
//
// Samples: each is assigned to its nearest node; the samples of one node
// are averaged (value and offset from the node). A node holding samples is
// solved from the Taylor expansion of the surface about the
// node at the samples' mean offset (u, v) in node spacings, to first order:
//   z0 = zd - u (zE - zW) / 2 - v (zN - zS) / 2
// (its neighbours' weights sum to |u| + |v| <= 1, so the sweeps stay
// stable however densely the data nodes lie), so the surface passes
// through the samples rather than through the nodes next to them.
//
// Edges: two rows of nodes beyond each edge are set before every sweep so
// that (1 - T) d2z/dn2 + T dz/dn = 0 and d(del^2 z)/dn = 0 hold on the edge,
// and d2z/dxdy = 0 at the corners.
//
// Multigrid: the surface is first solved on a lattice 2^k times coarser
// (k as large as leaves at least four nodes along each axis), started from
// the least-squares plane through the samples; each solution, bilinearly
// refined, starts the lattice twice as fine, down to the lattice asked for.
//
// Iteration and convergence: Gauss-Seidel sweeps over-relaxed by 1.4 at the
// free nodes (the data nodes take their solution outright). The nodes are
// swept in five colour classes, (i + 2 j) mod 5, none of which holds two
// nodes of one stencil, so a class is updated in parallel and the sweep is
// a true Gauss-Seidel sweep. A lattice has converged when the largest change
// of a node in one sweep is below 1e-4 times the root-mean-square deviation
// of the samples from their plane, or after 500 sweeps (2000 on the
// coarsest lattice, where sweeps are cheap).

#include <cstddef>
#include <span>
#include <vector>

namespace torvane {

// Nodes (i, j) at (x0 + i * cell, y0 + j * cell), 0 <= i < nx, 0 <= j < ny.
struct SquareLattice {
  double x0 = 0, y0 = 0;
  double cell = 0;
  int nx = 0, ny = 0;
};

inline constexpr double kDefaultTension = 0.25;

// The surface's values at the lattice's nodes, node (i, j) at i * ny + j.
// Samples more than half a cell outside the lattice are left out. Empty
// when there is no sample to grid, the lattice has no node, or the
// tension is outside 0 ... 1.
std::vector<float> MinimumCurvatureGrid(std::span<const double> x, std::span<const double> y,
                                        std::span<const double> z, const SquareLattice& lattice,
                                        double tension = kDefaultTension);

}  // namespace torvane
