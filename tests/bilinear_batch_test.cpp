// The batched interpolation, plain, in AVX2 lanes and in AVX-512 lanes (the
// corners gathered), against InterpolateBilinear position by position, bit
// for bit: random grids with blanks, positions on node lines, on the grid's
// edges and its last row and column, a hair either side of them, outside,
// and no number at all; batches of every length, so that lanes past the
// batch's end are met too.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "grid/BilinearBatch.h"

namespace torvane::testing {
namespace {

std::vector<double> Positions(double origin, double spacing, std::uint32_t count,
                              std::mt19937_64& random) {
  std::vector<double> p;
  const double last = origin + (count - 1.0) * spacing;
  for (std::uint32_t i = 0; i < count; ++i) {
    const double node = static_cast<double>(i) * spacing + origin;  // as the cells' corners
    p.insert(p.end(), {node, std::nextafter(node, -1e300), std::nextafter(node, 1e300),
                       origin + i * spacing});
  }
  const double inf = std::numeric_limits<double>::infinity();
  p.insert(p.end(), {last, std::nextafter(last, inf), origin - spacing, last + spacing, inf,
                     -inf, std::numeric_limits<double>::quiet_NaN()});
  std::uniform_real_distribution<double> anywhere(origin - spacing, last + spacing);
  for (int i = 0; i < 400; ++i) p.push_back(anywhere(random));
  return p;
}

TEST(BilinearBatch, LanesAsThePlainLoop) {
  std::mt19937_64 random(11);
  std::vector<const BilinearKernels*> kernels{&PlainBilinearKernels()};
  if (Avx2BilinearKernels() != nullptr) kernels.push_back(Avx2BilinearKernels());
  if (Avx512BilinearKernels() != nullptr) kernels.push_back(Avx512BilinearKernels());
  for (int grid = 0; grid < 40; ++grid) {
    const auto ncols = static_cast<std::uint32_t>(1 + random() % 9);
    const auto nrows = static_cast<std::uint32_t>(1 + random() % 9);
    std::uniform_real_distribution<double> spacing(0.01, 40);
    std::uniform_real_distribution<double> origin(-1e4, 1e4);
    const NodeLattice lattice(origin(random), grid % 3 == 0 ? 0.1 : spacing(random), ncols,
                              origin(random), grid % 3 == 0 ? 0.1 : spacing(random), nrows);
    std::vector<float> z(std::size_t{ncols} * nrows);
    std::uniform_real_distribution<float> value(-500, 500);
    for (float& v : z) v = random() % 7 == 0 ? kBlankNode : value(random);
    const MemoryNodes nodes{z.data(), nrows};
    const std::vector<double> xs = Positions(lattice.xmin, lattice.dx, ncols, random);
    const std::vector<double> ys = Positions(lattice.ymin, lattice.dy, nrows, random);
    std::vector<double> x;
    std::vector<double> y;
    for (std::size_t i = 0; i < xs.size() + ys.size(); ++i) {
      x.push_back(i < xs.size() ? xs[i] : xs[random() % xs.size()]);
      y.push_back(i < xs.size() ? ys[random() % ys.size()] : ys[i - xs.size()]);
    }
    for (const BilinearKernels* k : kernels) {
      BilinearBatch batch;
      double value_out[kBilinearBatch];
      for (std::size_t first = 0; first < x.size();) {
        const int count = static_cast<int>(
            std::min<std::size_t>(1 + random() % kBilinearBatch, x.size() - first));
        InterpolateBatch(*k, lattice, nodes, &x[first], &y[first], count, batch, value_out);
        for (int i = 0; i < count; ++i) {
          const double expected = InterpolateBilinear(lattice, nodes, x[first + i], y[first + i]);
          ASSERT_EQ(std::bit_cast<std::uint64_t>(value_out[i]),
                    std::bit_cast<std::uint64_t>(expected))
              << (k == &PlainBilinearKernels() ? "plain "
                  : k == Avx2BilinearKernels() ? "avx2 "
                                               : "avx512 ")
              << x[first + i] << " "
              << y[first + i] << " grid " << grid;
        }
        first += static_cast<std::size_t>(count);
      }
    }
  }
}

}  // namespace
}  // namespace torvane::testing
