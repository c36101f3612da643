#pragma once
// TGridImport: one regular grid of values (here: complete Bouguer anomaly)
// read from a grid file, answering the grid's value anywhere by bilinear
// interpolation. The nodes are held in memory as 32-bit floats, or, when the
// grid is larger than the memory available, read straight from the file
// through a read-only mapping (disk mode); both answer the same numbers.
//
// Lifecycle: construct, Load once, Interpolate any number of times, destroy.
// An empty grid (never loaded, or not accepted) answers blank everywhere.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/Platform.h"
#include "grid/Bilinear.h"
#include "grid/FileNodes.h"
#include "grid/NodeValues.h"

namespace torvane {

// The formats in the order they are tried; GdalRaster is any single-band
// raster that GDAL reads, tried when none of the others knows the file.
enum class GridFormat {
  Surfer7Binary,
  Surfer6Binary,
  GeosoftBinary,
  SurferAscii,
  EsriAscii,
  GdalRaster,
  None
};

// Where AllocateNodes put the nodes.
enum class Allocation {
  kInMemory,  // the node matrix is allocated (every node blank until read)
  kOnDisk,    // too big for memory: a binary reader keeps its file instead
  kDeclined,  // the geometry is unsound, or an ASCII grid is too big for memory
  kNoNodes,   // the file reaches fewer than two rows: no cell can have a value
};

// The most nodes a grid file can hold after its header, and where its rows
// begin. A file that holds fewer than the header claims is cut short: the
// rows it does not reach would be blank, and so would every cell that
// touches them.
struct NodesInFile {
  std::uint64_t nodes = UINT64_MAX;
  bool rows_from_north = false;  // the file's first row is the northernmost
  bool memory_only = false;      // the nodes cannot be read where they lie (compressed)
};

class TGridImport {
 public:
  // Messages about the grid go to `platform`, which also tells the memory
  // available; the nodes are held in memory only up to `memory_limit` bytes.
  explicit TGridImport(Platform& platform, std::uint64_t memory_limit = UINT64_MAX);
  TGridImport(const TGridImport&) = delete;
  TGridImport& operator=(const TGridImport&) = delete;

  // Tries the five formats in their fixed order; true when one accepted the
  // file. Otherwise the grid is empty and the user has been told: by the
  // readers, or with "Unknown grid file format: <path>" when none of them
  // had anything to say.
  bool Load(const std::string& path);

  // The grid's value at (x, y), or kBlankValue: outside the grid's cells, in
  // a cell with a blank corner, and for a grid without nodes. Allocates
  // nothing.
  double Interpolate(double x, double y) const;

  // For code that interpolates many positions: calls visit(lattice, nodes)
  // with the nodes wherever they are held (`nodes` has float At(c, r)), to be
  // used with InterpolateBilinear; does nothing for a grid without nodes.
  template <typename Visit>
  void WithNodes(Visit&& visit) const;

  // For the readers. CompleteFromExtents derives dx, dy from the extents
  // (ncols, nrows, xmin, xmax, ymin, ymax set); CompleteFromSpacing derives
  // xmax, ymax from the spacings (ncols, nrows, xmin, ymin, dx, dy set).
  // Both then call AllocateNodes.
  Allocation CompleteFromExtents(NodesInFile in_file = {});
  Allocation CompleteFromSpacing(NodesInFile in_file = {});
  // Checks the geometry and keeps only the rows a file cut short reaches
  // (nrows, ymin and ymax follow), so that a header claiming more than its
  // file holds claims no memory for it. Then holds the nodes in memory when
  // the memory available (and the limit) is at least ncols x nrows x 4
  // bytes. A binary grid too big for that goes to disk mode; an ASCII grid,
  // or one whose nodes must be decoded (memory_only), is declined. The user
  // is told.
  Allocation AllocateNodes(NodesInFile in_file = {});
  // Decodes out.size() nodes of row `row` (Surfer: a vector of the file)
  // from column `first_column` on. False when the file ends before them,
  // after showing "\nError by reading grid".
  bool ReadNodeRow(const FileNodes& file, std::uint32_t row, std::uint32_t first_column,
                   std::span<float> out);
  // Disk mode: the nodes stay in the file, which the grid keeps open.
  void KeepFileNodes(FileNodes file);
  // Disk mode: false, after showing "\nError by reading grid", once another
  // program has cut the grid file short or written to it since it was
  // loaded: what Interpolate answered may then be wrong. True otherwise.
  bool FileUnchanged();

  // The node matrix when in memory: column-major, node (c, r) at
  // c * nrows + r; null otherwise.
  float* nodes() { return nodes_.get(); }
  const float* nodes() const { return nodes_.get(); }
  bool in_memory() const { return nodes_ != nullptr; }
  bool on_disk() const { return file_nodes_.has_value(); }
  // Node (c, r) wherever it is held; blank for a grid without nodes and
  // outside the grid.
  float Node(std::uint32_t c, std::uint32_t r) const;
  // Sets zmin and zmax to the range of the non-blank nodes in memory.
  void MeasureNodeRange();

  // Messages shown on behalf of the grid: with the caption "Error", or as a
  // plain box with the application's title.
  void ShowError(std::string_view text);
  void ShowNote(std::string_view text);
  char DecimalSeparator() const { return platform_.DecimalSeparator(); }

  GridFormat format = GridFormat::None;
  double blank_value = kBlankValue;  // the Surfer formats' blank marker
  std::uint64_t data_origin = 0;     // file offset of a Surfer 7 grid's first node
  std::uint32_t ncols = 0;           // node columns, along x from the west
  std::uint32_t nrows = 0;           // node rows, along y from the south
  double xmin = 0, xmax = 0, xrange = 0, dx = 0;
  double ymin = 0, ymax = 0, yrange = 0, dy = 0;
  double zmin = 0, zmax = 0;  // as the reader found them; informational

 private:
  void Clear();
  bool GeometryIsSound() const;

  Platform& platform_;
  std::uint64_t memory_limit_;
  std::unique_ptr<float[]> nodes_;
  std::optional<FileNodes> file_nodes_;
  int messages_shown_ = 0;
};

template <typename Visit>
void TGridImport::WithNodes(Visit&& visit) const {
  const NodeLattice lattice(xmin, dx, ncols, ymin, dy, nrows);
  if (nodes_) {
    visit(lattice, MemoryNodes{nodes_.get(), nrows});
  } else if (file_nodes_) {
    visit(lattice, *file_nodes_);
  }
}

}  // namespace torvane
