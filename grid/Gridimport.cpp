#include "grid/Gridimport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include "grid/Bilinear.h"
#include "grid/GridFormat.h"

namespace torvane {
namespace {

// Every node starts blank. The first write to a large matrix costs the
// system a fresh page every 4 KiB; spread over the threads it takes less
// time.
void FillBlank(float* nodes, std::size_t count) {
  constexpr std::size_t kChunk = std::size_t{1} << 18;
  const auto chunks = static_cast<long long>((count + kChunk - 1) / kChunk);
#pragma omp parallel for schedule(static) if (chunks > 4)
  for (long long k = 0; k < chunks; ++k) {
    const std::size_t first = static_cast<std::size_t>(k) * kChunk;
    std::fill_n(nodes + first, std::min(kChunk, count - first), kBlankNode);
  }
}

// A size in bytes as people read it: "4.3 GB", "512 kB".
std::string ByteSize(double bytes) {
  static constexpr const char* kUnits[] = {"bytes", "kB", "MB", "GB", "TB", "PB", "EB"};
  int unit = 0;
  while (bytes >= 1000 && unit < 6) {
    bytes /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, kUnits[unit]);
  return text;
}

}  // namespace

TGridImport::TGridImport(Reporter& platform, std::uint64_t memory_limit,
                         MappedFile::Access access)
    : platform_(platform), memory_limit_(memory_limit), access_(access) {}

void TGridImport::Clear() {
  nodes_.reset();
  file_nodes_.reset();
  header_ = GridHeader{};
  short_file_.clear();
}

double TGridImport::Interpolate(double x, double y) const {
  double value = kBlankValue;
  WithNodes([&](const NodeLattice& lattice, const auto& nodes) {
    value = InterpolateBilinear(lattice, nodes, x, y);
  });
  return value;
}

float TGridImport::Node(std::uint32_t c, std::uint32_t r) const {
  if (c >= ncols() || r >= nrows()) return kBlankNode;
  if (nodes_) return MemoryNodes{nodes_.get(), nrows()}.At(c, r);
  if (file_nodes_) return file_nodes_->At(c, r);
  return kBlankNode;
}

void TGridImport::AcceptEmpty(const GridFormat& format) {
  Clear();
  header_.format = &format;
}

Allocation TGridImport::Accept(const GridHeader& header, NodesInFile in_file) {
  nodes_.reset();
  file_nodes_.reset();
  short_file_.clear();
  short_said_ = false;
  header_ = header;
  GridGeometry& geometry = header_.geometry;
  if (const std::string problem = geometry.Problem(); !problem.empty()) {
    // Arrays handed in (not a file) are refused by their caller.
    if (!path_.empty()) Decline(problem);
    return Allocation::kDeclined;
  }
  claimed_ncols_ = geometry.ncols;
  claimed_nrows_ = geometry.nrows;
  const std::uint32_t ncols = geometry.ncols;
  if (in_file.nodes < std::uint64_t{ncols} * geometry.nrows) {
    short_file_ = path_ + ": header says " + std::to_string(claimed_ncols_) + " x " +
                  std::to_string(claimed_nrows_) + " nodes";
    if (in_file.node_bytes > 0) {
      // The size the file would have.
      short_file_ += " (" + ByteSize(static_cast<double>(in_file.header_bytes) +
                                     static_cast<double>(ncols) * geometry.nrows *
                                         static_cast<double>(in_file.node_bytes)) + ")";
    }
    short_file_ += ", file holds " + std::to_string(in_file.file_bytes) + " bytes";
    // Compressed nodes beyond what the file could ever expand to.
    if (in_file.memory_only) {
      ShowError(short_file_);
      short_said_ = true;
      return Allocation::kDeclined;
    }
    // Cut short: the rows the file reaches, whole or in part.
    const std::uint64_t reached = (in_file.nodes + ncols - 1) / ncols;
    if (reached < 2) return Allocation::kNoNodes;
    geometry.KeepRows(static_cast<std::uint32_t>(reached), in_file.rows_from_north);
  }
  const std::uint32_t nrows = geometry.nrows;
  // In double precision, so that no count can overflow it.
  const double needed = static_cast<double>(ncols) * 4.0 * static_cast<double>(nrows);
  const std::uint64_t available = std::min(platform_.AvailablePhysicalMemory(), memory_limit_);
  if (static_cast<double>(available) >= needed) {
    const std::size_t count = static_cast<std::size_t>(ncols) * nrows;
    nodes_ = MakeLargeArray<float>(count);
    if (nodes_) {
      FillBlank(nodes_.get(), count);
      return Allocation::kInMemory;
    }
  }
  // An ASCII grid can only be read into memory.
  if (header_.format == &kSurferAsciiFormat || header_.format == &kEsriAsciiFormat) {
    ShowNote("ASCII Grid is too big to fit in memory");
    return Allocation::kDeclined;
  }
  if (in_file.memory_only) {
    ShowNote("Grid is too big to fit in memory");
    return Allocation::kDeclined;
  }
  ShowNote("Grid is too big to fit in memory - data will be read from HDD");
  return Allocation::kOnDisk;
}

bool TGridImport::ReadNodeRow(const FileNodes& file, std::uint32_t row, std::uint32_t first_column,
                              std::span<float> out) {
  if (file.DecodeVector(row, first_column, out)) return true;
  ShowError("\nError by reading grid");
  return false;
}

void TGridImport::KeepFileNodes(FileNodes file) {
  nodes_.reset();
  file_nodes_.emplace(std::move(file));
}

bool TGridImport::FileUnchanged() {
  return !file_nodes_ || FileStayed(*this, file_nodes_->mapped());
}

void TGridImport::MeasureNodeRange() {
  double& zmin = header_.zmin;
  double& zmax = header_.zmax;
  zmin = 1e39;
  zmax = -1e39;
  if (!nodes_) return;
  const std::size_t count = static_cast<std::size_t>(ncols()) * nrows();
  for (std::size_t i = 0; i < count; ++i) {
    const double value = nodes_[i];
    if (IsBlank(value)) continue;
    zmin = std::min(zmin, value);
    zmax = std::max(zmax, value);
  }
}

// Every message about the grid carries the file's name, for a front end that
// can add it; the window shows the text alone.
void TGridImport::ShowError(std::string_view text) {
  ++messages_shown_;
  platform_.ShowFileError(text, path_, 0, "Error");
  // The seed's message for a short file, then why.
  if (!short_file_.empty() && !short_said_ &&
      text.find("Error by reading grid") != std::string_view::npos) {
    short_said_ = true;
    ++messages_shown_;
    platform_.ShowFileError(short_file_, path_, 0, "Error");
  }
}

void TGridImport::NoteNodesFound(std::uint64_t found) {
  if (!short_file_.empty()) return;
  short_file_ = path_ + ": header says " + std::to_string(claimed_ncols_) + " x " +
                std::to_string(claimed_nrows_) + " nodes, file holds " + std::to_string(found) +
                " readable node values";
}

bool TGridImport::RefuseShortFile() {
  if (short_file_.empty()) return false;
  if (!short_said_) ShowError(short_file_);
  short_said_ = true;
  return true;
}

void TGridImport::Decline(std::string_view why) {
  ShowError(path_ + ": " + std::string(why));
}

void TGridImport::ShowOpenError(std::string_view text, const std::string& path,
                                int system_error, bool as_error) {
  ++messages_shown_;
  platform_.ShowFileError(text, path, system_error, as_error ? "Error" : "");
}

void TGridImport::ShowNote(std::string_view text) {
  ++messages_shown_;
  platform_.ShowFileError(text, path_, 0);
}

}  // namespace torvane
