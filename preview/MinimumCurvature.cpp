#include "preview/MinimumCurvature.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace torvane {
namespace {

constexpr int kGhosts = 2;               // nodes beyond each edge
constexpr double kOverRelaxation = 1.4;  // at the free nodes
constexpr double kConvergence = 1e-4;    // of the samples' deviation from their plane
constexpr int kSweeps = 500;
constexpr int kCoarsestSweeps = 2000;
constexpr int kFewestNodes = 4;  // along each axis, on every lattice

// One lattice of the multigrid with its ghost nodes, column-major.
class Level {
 public:
  Level(int nx, int ny)
      : nx_(nx), ny_(ny), h_(ny + 2 * kGhosts),
        z_(static_cast<std::size_t>(nx + 2 * kGhosts) * static_cast<std::size_t>(h_), 0.0),
        data_(z_.size(), 0) {}

  int nx() const { return nx_; }
  int ny() const { return ny_; }
  std::ptrdiff_t Index(int i, int j) const {
    return static_cast<std::ptrdiff_t>(i + kGhosts) * h_ + (j + kGhosts);
  }
  double& Z(int i, int j) { return z_[static_cast<std::size_t>(Index(i, j))]; }
  double Z(int i, int j) const { return z_[static_cast<std::size_t>(Index(i, j))]; }

  // Averages the samples at their nearest nodes, `stride` fine cells apart.
  void AssignSamples(std::span<const double> gx, std::span<const double> gy,
                     std::span<const double> z, double stride) {
    std::vector<double> su(z_.size(), 0.0), sv(z_.size(), 0.0), sz(z_.size(), 0.0);
    std::vector<std::uint32_t> count(z_.size(), 0);
    for (std::size_t k = 0; k < z.size(); ++k) {
      const double fx = gx[k] / stride;
      const double fy = gy[k] / stride;
      const double i = std::round(fx);
      const double j = std::round(fy);
      if (!(i >= 0 && i < nx_ && j >= 0 && j < ny_)) continue;
      const auto at = static_cast<std::size_t>(Index(static_cast<int>(i), static_cast<int>(j)));
      su[at] += fx - i;
      sv[at] += fy - j;
      sz[at] += z[k];
      ++count[at];
    }
    u_.assign(z_.size(), 0.0f);
    v_.assign(z_.size(), 0.0f);
    value_.assign(z_.size(), 0.0);
    for (std::size_t at = 0; at < z_.size(); ++at) {
      if (count[at] == 0) continue;
      data_[at] = 1;
      u_[at] = static_cast<float>(su[at] / count[at]);
      v_[at] = static_cast<float>(sv[at] / count[at]);
      value_[at] = sz[at] / count[at];
    }
  }

  // Sets every real node from `coarser`, a lattice twice as coarse that
  // covers this one, bilinearly.
  void RefineFrom(const Level& coarser) {
    for (int i = 0; i < nx_; ++i) {
      const int ci = i / 2;
      const bool odd_i = (i % 2) != 0;
      for (int j = 0; j < ny_; ++j) {
        const int cj = j / 2;
        const bool odd_j = (j % 2) != 0;
        const double a = coarser.Z(ci, cj);
        const double b = odd_i ? coarser.Z(ci + 1, cj) : a;
        const double c = odd_j ? coarser.Z(ci, cj + 1) : a;
        const double d = odd_i && odd_j ? coarser.Z(ci + 1, cj + 1) : (odd_i ? b : c);
        Z(i, j) = 0.25 * (a + b + c + d);
      }
    }
  }

  void SetGhosts(double tension) {
    // (1 - T) d2z/dn2 + T dz/dn = 0 on every edge.
    const double c0 = 4 * (1 - tension) / (2 - tension);
    const double c1 = (3 * tension - 2) / (2 - tension);
    const int n = nx_ - 1;
    const int m = ny_ - 1;
    for (int j = 0; j <= m; ++j) {
      Z(-1, j) = c0 * Z(0, j) + c1 * Z(1, j);
      Z(n + 1, j) = c0 * Z(n, j) + c1 * Z(n - 1, j);
    }
    for (int i = 0; i <= n; ++i) {
      Z(i, -1) = c0 * Z(i, 0) + c1 * Z(i, 1);
      Z(i, m + 1) = c0 * Z(i, m) + c1 * Z(i, m - 1);
    }
    // d2z/dxdy = 0 at the corners.
    Z(-1, -1) = Z(1, -1) + Z(-1, 1) - Z(1, 1);
    Z(n + 1, -1) = Z(n - 1, -1) + Z(n + 1, 1) - Z(n - 1, 1);
    Z(-1, m + 1) = Z(1, m + 1) + Z(-1, m - 1) - Z(1, m - 1);
    Z(n + 1, m + 1) = Z(n - 1, m + 1) + Z(n + 1, m - 1) - Z(n - 1, m - 1);
    // d(del^2 z)/dn = 0: the Laplacians one node inside and one outside agree.
    for (int j = 0; j <= m; ++j) {
      Z(-2, j) = Z(2, j) + Z(1, j + 1) + Z(1, j - 1) - 4 * Z(1, j) - Z(-1, j + 1) - Z(-1, j - 1) +
                 4 * Z(-1, j);
      Z(n + 2, j) = Z(n - 2, j) + Z(n - 1, j + 1) + Z(n - 1, j - 1) - 4 * Z(n - 1, j) -
                    Z(n + 1, j + 1) - Z(n + 1, j - 1) + 4 * Z(n + 1, j);
    }
    for (int i = 0; i <= n; ++i) {
      Z(i, -2) = Z(i, 2) + Z(i + 1, 1) + Z(i - 1, 1) - 4 * Z(i, 1) - Z(i + 1, -1) - Z(i - 1, -1) +
                 4 * Z(i, -1);
      Z(i, m + 2) = Z(i, m - 2) + Z(i + 1, m - 1) + Z(i - 1, m - 1) - 4 * Z(i, m - 1) -
                    Z(i + 1, m + 1) - Z(i - 1, m + 1) + 4 * Z(i, m + 1);
    }
  }

  // One Gauss-Seidel sweep in five colour classes; the largest change.
  double Sweep(double tension) {
    SetGhosts(tension);
    const double denominator = 20 * (1 - tension) + 4 * tension;
    const std::ptrdiff_t h = h_;
    double largest = 0;
    double* z = z_.data();
    // Threads pay only on lattices large enough to outweigh their start.
    const bool parallel = static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_) > 200000;
    for (int colour = 0; colour < 5; ++colour) {
#pragma omp parallel for reduction(max : largest) schedule(static) if (parallel)
      for (int i = 0; i < nx_; ++i) {
        // (i + 2 j) mod 5 == colour: j = 3 (colour - i) mod 5.
        const int first = ((3 * (colour - i)) % 5 + 5) % 5;
        for (int j = first; j < ny_; j += 5) {
          const std::ptrdiff_t at = Index(i, j);
          double* p = z + at;
          const double e = p[h], w = p[-h], n = p[1], s = p[-1];
          double next;
          if (data_[static_cast<std::size_t>(at)] != 0) {
            const double u = u_[static_cast<std::size_t>(at)];
            const double v = v_[static_cast<std::size_t>(at)];
            next = value_[static_cast<std::size_t>(at)] - u * (e - w) / 2 - v * (n - s) / 2;
          } else {
            const double s1 = e + w + n + s;
            const double s2 = p[h + 1] + p[-h + 1] + p[h - 1] + p[-h - 1];
            const double s3 = p[2 * h] + p[-2 * h] + p[2] + p[-2];
            const double solved = ((1 - tension) * (8 * s1 - 2 * s2 - s3) + tension * s1) / denominator;
            next = *p + kOverRelaxation * (solved - *p);
          }
          largest = std::max(largest, std::abs(next - *p));
          *p = next;
        }
      }
    }
    return largest;
  }

 private:
  int nx_, ny_;
  std::ptrdiff_t h_;
  std::vector<double> z_;
  std::vector<std::uint8_t> data_;
  std::vector<float> u_, v_;
  std::vector<double> value_;
};

struct Plane {
  double a = 0, b = 0, c = 0;  // z = a + b gx + c gy
  double At(double gx, double gy) const { return a + b * gx + c * gy; }
};

// The least-squares plane through the samples (their mean when they do not
// span one).
Plane FitPlane(std::span<const double> gx, std::span<const double> gy, std::span<const double> z) {
  const auto n = static_cast<double>(z.size());
  double mx = 0, my = 0, mz = 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    mx += gx[k];
    my += gy[k];
    mz += z[k];
  }
  mx /= n;
  my /= n;
  mz /= n;
  double sxx = 0, sxy = 0, syy = 0, sxz = 0, syz = 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    const double dx = gx[k] - mx, dy = gy[k] - my, dz = z[k] - mz;
    sxx += dx * dx;
    sxy += dx * dy;
    syy += dy * dy;
    sxz += dx * dz;
    syz += dy * dz;
  }
  const double det = sxx * syy - sxy * sxy;
  Plane plane{mz, 0, 0};
  if (det > 1e-12 * (sxx * syy) && det > 0) {
    plane.b = (sxz * syy - syz * sxy) / det;
    plane.c = (syz * sxx - sxz * sxy) / det;
    plane.a = mz - plane.b * mx - plane.c * my;
  }
  return plane;
}

int NodesAtStride(int nodes, int stride) { return (nodes - 1 + stride - 1) / stride + 1; }

}  // namespace

std::vector<float> MinimumCurvatureGrid(std::span<const double> x, std::span<const double> y,
                                        std::span<const double> z, const SquareLattice& lattice,
                                        double tension) {
  if (lattice.nx < 1 || lattice.ny < 1 || !(lattice.cell > 0) || !(tension >= 0 && tension <= 1) ||
      x.size() != z.size() || y.size() != z.size()) {
    return {};
  }
  // Samples in fine node spacings from the first node, those on the lattice.
  std::vector<double> gx, gy, gz;
  gx.reserve(z.size());
  gy.reserve(z.size());
  gz.reserve(z.size());
  for (std::size_t k = 0; k < z.size(); ++k) {
    const double fx = (x[k] - lattice.x0) / lattice.cell;
    const double fy = (y[k] - lattice.y0) / lattice.cell;
    if (!(fx >= -0.5 && fx < lattice.nx - 0.5 && fy >= -0.5 && fy < lattice.ny - 0.5) ||
        !std::isfinite(z[k])) {
      continue;
    }
    gx.push_back(fx);
    gy.push_back(fy);
    gz.push_back(z[k]);
  }
  if (gz.empty()) return {};
  // A lattice narrower than the stencil is solved on a wider one and cut.
  const int nx = std::max(lattice.nx, kFewestNodes);
  const int ny = std::max(lattice.ny, kFewestNodes);

  const Plane plane = FitPlane(gx, gy, gz);
  double squares = 0;
  for (std::size_t k = 0; k < gz.size(); ++k) {
    const double d = gz[k] - plane.At(gx[k], gy[k]);
    squares += d * d;
  }
  const double limit = kConvergence * std::sqrt(squares / static_cast<double>(gz.size()));

  int stride = 1;
  while (NodesAtStride(nx, stride * 2) >= kFewestNodes && NodesAtStride(ny, stride * 2) >= kFewestNodes) {
    stride *= 2;
  }
  std::vector<float> out(static_cast<std::size_t>(lattice.nx) * static_cast<std::size_t>(lattice.ny));
  Level coarse(NodesAtStride(nx, stride), NodesAtStride(ny, stride));
  for (int i = 0; i < coarse.nx(); ++i) {
    for (int j = 0; j < coarse.ny(); ++j) coarse.Z(i, j) = plane.At(i * stride, j * stride);
  }
  bool coarsest = true;
  for (;;) {
    coarse.AssignSamples(gx, gy, gz, stride);
    const int sweeps = coarsest ? kCoarsestSweeps : kSweeps;
    for (int sweep = 0; sweep < sweeps; ++sweep) {
      if (coarse.Sweep(tension) <= limit) break;
    }
    if (stride == 1) break;
    stride /= 2;
    Level finer(NodesAtStride(nx, stride), NodesAtStride(ny, stride));
    finer.RefineFrom(coarse);
    coarse = std::move(finer);
    coarsest = false;
  }
  for (int i = 0; i < lattice.nx; ++i) {
    for (int j = 0; j < lattice.ny; ++j) {
      out[static_cast<std::size_t>(i) * static_cast<std::size_t>(lattice.ny) +
          static_cast<std::size_t>(j)] = static_cast<float>(coarse.Z(i, j));
    }
  }
  return out;
}

}  // namespace torvane
