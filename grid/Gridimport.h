#pragma once
// TGridImport: one regular grid of values (here: complete Bouguer anomaly)
// read from a grid file, answering the grid's value anywhere by bilinear
// interpolation. The nodes are held in memory as 32-bit floats, or, when the
// grid is larger than the memory available, read straight from the file
// (disk mode): through a read-only mapping, or with pread where the system
// will not map the file; all answer the same numbers.
//
// Lifecycle: construct, Load once, Interpolate any number of times, destroy.
// An empty grid (never loaded, or not accepted) answers blank everywhere.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/LargeArray.h"
#include "common/Reporter.h"
#include "grid/Bilinear.h"
#include "grid/FileNodes.h"
#include "grid/GridGeometry.h"
#include "grid/NodeValues.h"

namespace torvane {

struct GridFormat;  // GridFormat.h

// Where Accept put the nodes.
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
  std::size_t node_bytes = 0;    // a node's size in the file; 0 for text
  std::uint64_t file_bytes = 0;  // the file's size, for the messages
  std::uint64_t header_bytes = 0;  // where the nodes begin, for the messages
};

// What a reader found in a file's header.
struct GridHeader {
  const GridFormat* format = nullptr;
  GridGeometry geometry;
  double zmin = 0, zmax = 0;         // as the file gives them; informational
  double blank_value = kBlankValue;  // the Surfer formats' blank marker
  std::uint64_t data_origin = 0;     // file offset of a Surfer 7 grid's first node
  std::string crs;       // its coordinate reference system (GridCrs.h); empty: not given
  std::string variable;  // the name the file gives the nodes (a netCDF variable's), if any
  std::string units;     // the nodes' units, where the file gives them
};

class TGridImport {
 public:
  // Messages about the grid go to `platform`, which also tells the memory
  // available; the nodes are held in memory only up to `memory_limit` bytes.
  // `access` kRead never maps the file (for comparing both ways of reading).
  explicit TGridImport(Reporter& platform, std::uint64_t memory_limit = UINT64_MAX,
                       MappedFile::Access access = MappedFile::Access::kMapOrRead);
  TGridImport(const TGridImport&) = delete;
  TGridImport& operator=(const TGridImport&) = delete;

  // Maps the file once and hands it to the first reader that recognises its
  // content, in the fixed order of kGridFormats (GridFormat.h); true when that reader
  // accepted it. Otherwise the grid is empty and the user has been told: by
  // the reader, or with "Unknown grid file format: <path>" when nobody had
  // anything to say.
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

  // The node matrix when in memory: column-major, node (c, r) at
  // c * nrows + r; null otherwise.
  const float* nodes() const { return nodes_.get(); }
  bool in_memory() const { return nodes_ != nullptr; }
  bool on_disk() const { return file_nodes_.has_value(); }
  // Node (c, r) wherever it is held; blank for a grid without nodes and
  // outside the grid.
  float Node(std::uint32_t c, std::uint32_t r) const;
  // Disk mode: false, after showing "\nError by reading grid", once another
  // program has cut the grid file short or written to it since it was
  // loaded: what Interpolate answered may then be wrong. True otherwise.
  bool FileUnchanged();
  // Empty when the file holds every node its header says; otherwise what
  // the header says and what the file holds ("h6.grd: header says 32767 x
  // 32767 nodes (4.3 GB), file holds 4096 bytes"). The rows the file holds
  // are loaded all the same (grid mode samples them); every other reader
  // refuses such a file.
  const std::string& ShortFileText() const { return short_file_; }
  // For a reader that refuses what a short file holds (everything but grid
  // mode): true, after showing ShortFileText unless it has been shown, when
  // the file is short.
  bool RefuseShortFile();

  // What was loaded; fixed until the next Load.
  // The format read; null when nothing was.
  const GridFormat* format() const { return header_.format; }
  const GridGeometry& geometry() const { return header_.geometry; }
  std::uint32_t ncols() const { return header_.geometry.ncols; }
  std::uint32_t nrows() const { return header_.geometry.nrows; }
  double xmin() const { return header_.geometry.xmin; }
  double xmax() const { return header_.geometry.xmax; }
  double xrange() const { return header_.geometry.xrange; }
  double dx() const { return header_.geometry.dx; }
  double ymin() const { return header_.geometry.ymin; }
  double ymax() const { return header_.geometry.ymax; }
  double yrange() const { return header_.geometry.yrange; }
  double dy() const { return header_.geometry.dy; }
  double zmin() const { return header_.zmin; }
  double zmax() const { return header_.zmax; }
  double blank_value() const { return header_.blank_value; }
  std::uint64_t data_origin() const { return header_.data_origin; }
  const std::string& crs() const { return header_.crs; }
  const std::string& variable() const { return header_.variable; }
  const std::string& units() const { return header_.units; }

  // For the readers, once each. Accept takes the header, checks the
  // geometry and keeps only the rows a file cut short reaches, so that a
  // header claiming more than its file holds claims no memory for it. Then
  // it holds the nodes in memory (every node blank until read) when the
  // memory available (and the limit) is at least ncols x nrows x 4 bytes. A
  // binary grid too big for that goes to disk mode; an ASCII grid, or one
  // whose nodes must be decoded (memory_only), is declined. The user is
  // told. AcceptEmpty takes a file of a known format that holds no grid.
  Allocation Accept(const GridHeader& header, NodesInFile in_file = {});
  void AcceptEmpty(const GridFormat& format);
  float* nodes() { return nodes_.get(); }
  // Decodes out.size() nodes of row `row` (Surfer: a vector of the file)
  // from column `first_column` on. False when the file ends before them,
  // after showing "\nError by reading grid".
  bool ReadNodeRow(const FileNodes& file, std::uint32_t row, std::uint32_t first_column,
                   std::span<float> out);
  // Disk mode: the nodes stay in the file, which the grid keeps open.
  void KeepFileNodes(FileNodes file);
  // Sets zmin and zmax to the range of the non-blank nodes in memory.
  void MeasureNodeRange();

  // Messages shown on behalf of the grid: with the caption "Error", or as a
  // plain box with the application's title. "Error by reading grid" is
  // followed by a message of why when the file holds fewer nodes than its
  // header says.
  void ShowError(std::string_view text);
  // A recognised header whose values cannot be a grid: says which value and
  // why ("<path>: ncols -5 is not a count of nodes ...").
  void Decline(std::string_view why);
  // A text reader found only `found` node values of the header's count.
  void NoteNodesFound(std::uint64_t found);
  void ShowNote(std::string_view text);
  // A grid file that cannot be opened: shown as ShowError (or ShowNote when
  // `as_error` is false) shows it, with the file and the system's reason
  // (errno) for a front end that can add them.
  void ShowOpenError(std::string_view text, const std::string& path, int system_error,
                     bool as_error = true);
  char DecimalSeparator() const { return platform_.DecimalSeparator(); }

 private:
  void Clear();

  Reporter& platform_;
  std::uint64_t memory_limit_;
  MappedFile::Access access_;
  GridHeader header_;
  LargeArray<float> nodes_;
  std::optional<FileNodes> file_nodes_;
  int messages_shown_ = 0;
  std::string path_;  // the file Load reads, named by the messages
  std::string short_file_;  // see ShortFileText
  bool short_said_ = false;
  std::uint32_t claimed_ncols_ = 0;  // the header's counts, before KeepRows
  std::uint32_t claimed_nrows_ = 0;
};

template <typename Visit>
void TGridImport::WithNodes(Visit&& visit) const {
  const GridGeometry& g = header_.geometry;
  const NodeLattice lattice(g.xmin, g.dx, g.ncols, g.ymin, g.dy, g.nrows);
  if (nodes_) {
    visit(lattice, MemoryNodes{nodes_.get(), g.nrows});
  } else if (file_nodes_) {
    visit(lattice, *file_nodes_);
  }
}

}  // namespace torvane
