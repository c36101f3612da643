#pragma once
// Bilinear interpolation of many positions at a time. The cells and the
// weights of a batch are worked out in vector lanes where the processor has
// AVX2 (the plain loop otherwise, picked when the program starts), the
// corners are read sample by sample wherever the nodes are held, and the
// weighted means are taken in lanes again. Every value is bit for bit the
// one InterpolateBilinear gives for its position: the same operations in
// the same order, none fused.

#include <cstdint>

#include <type_traits>

#include "grid/Bilinear.h"
#include "grid/FileNodes.h"

namespace torvane {

inline constexpr int kBilinearBatch = 64;

// One batch on its way: the positions' cells (as whole numbers in doubles)
// and weights, then the corners of the usable ones.
struct BilinearBatch {
  alignas(32) double cell_x[kBilinearBatch];
  alignas(32) double cell_y[kBilinearBatch];
  alignas(32) double t[kBilinearBatch];
  alignas(32) double u[kBilinearBatch];
  alignas(32) double z00[kBilinearBatch];
  alignas(32) double z10[kBilinearBatch];
  alignas(32) double z11[kBilinearBatch];
  alignas(32) double z01[kBilinearBatch];
  // Within the cells; after the corners are read, also no corner blank.
  alignas(32) std::uint8_t usable[kBilinearBatch];
};

// The two steps around the reading of the corners, for `count` (at most
// kBilinearBatch) positions.
struct BilinearKernels {
  // Cells, weights and whether each position lies within the cells.
  void (*locate)(const NodeLattice& lattice, const double* x, const double* y, int count,
                 BilinearBatch& batch);
  // value[i]: the weighted mean of the corners, or kBlankValue where unusable.
  void (*weigh)(const BilinearBatch& batch, int count, double* value);
  // Where the processor can fetch a lane's corners itself: every step at
  // once for nodes in memory (MemoryNodes) whose index, c * nrows + r, fits
  // in 31 bits; null otherwise.
  void (*in_memory)(const NodeLattice& lattice, const float* nodes, const double* x,
                    const double* y, int count, double* value) = nullptr;
  // The same for the nodes of a Surfer grid file (rows of floats or
  // doubles) mapped whole; false, with nothing written, for any other file
  // or a batch that reaches past the rows the file holds. Null where the
  // processor cannot.
  bool (*in_file)(const NodeLattice& lattice, const FileNodes& nodes, const double* x,
                  const double* y, int count, double* value) = nullptr;
};

const BilinearKernels& PlainBilinearKernels();
// Null where the processor lacks AVX2.
const BilinearKernels* Avx2BilinearKernels();
// AVX-512's, with the corners gathered in lanes; null where the processor
// lacks AVX-512 (F and DQ).
const BilinearKernels* Avx512BilinearKernels();
// The AVX-512 or AVX2 kernels where the processor has them, else the plain
// ones.
const BilinearKernels& FastestBilinearKernels();

// value[i] = InterpolateBilinear(lattice, nodes, x[i], y[i]) for i < count
// (at most kBilinearBatch).
template <typename Nodes>
void InterpolateBatch(const BilinearKernels& kernels, const NodeLattice& lattice,
                      const Nodes& nodes, const double* x, const double* y, int count,
                      BilinearBatch& batch, double* value) {
  if constexpr (std::is_same_v<Nodes, MemoryNodes>) {
    if (kernels.in_memory != nullptr &&
        std::uint64_t{lattice.ncols} * nodes.nrows < (std::uint64_t{1} << 31)) {
      kernels.in_memory(lattice, nodes.nodes, x, y, count, value);
      return;
    }
  }
  if constexpr (std::is_same_v<Nodes, FileNodes>) {
    if (kernels.in_file != nullptr && kernels.in_file(lattice, nodes, x, y, count, value)) return;
  }
  kernels.locate(lattice, x, y, count, batch);
  const auto read_corners = [&](auto&& read_cell) {
    for (int i = 0; i < count; ++i) {
      double z[4] = {0, 0, 0, 0};
      if (batch.usable[i]) {
        batch.usable[i] = read_cell(static_cast<std::uint32_t>(batch.cell_x[i]),
                                    static_cast<std::uint32_t>(batch.cell_y[i]), z);
      }
      batch.z00[i] = z[0];
      batch.z10[i] = z[1];
      batch.z11[i] = z[2];
      batch.z01[i] = z[3];
    }
  };
  if constexpr (std::is_same_v<Nodes, FileNodes>) {
    // Read from the file: the encoding decided once for the batch.
    WithEncoding(nodes.layout().encoding, [&](auto encoding) {
      read_corners([&](std::uint32_t c, std::uint32_t r, double z[4]) {
        return nodes.template CellCorners<encoding()>(c, r, z);
      });
    });
  } else {
    read_corners([&](std::uint32_t c, std::uint32_t r, double z[4]) {
      return ReadCorners(nodes, c, r, z);
    });
  }
  kernels.weigh(batch, count, value);
}

}  // namespace torvane
