// Load: the five readers in their fixed order, and what they share.

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "grid/GridReaders.h"
#include "grid/Gridimport.h"

namespace torvane {

bool TGridImport::Load(const std::string& path) {
  using Reader = bool (*)(TGridImport&, const std::string&);
  static constexpr Reader kReaders[] = {ReadSurfer7Grid, ReadSurfer6Grid, ReadGeosoftGrid,
                                        ReadSurferAsciiGrid, ReadEsriAsciiGrid};
  const int shown_before = messages_shown_;
  for (const Reader read : kReaders) {
    // A reader that declines leaves nothing behind for the next one.
    Clear();
    if (read(*this, path)) return true;
  }
  Clear();
  if (messages_shown_ == shown_before) ShowError("Unknown grid file format: " + path);
  return false;
}

bool OpenGridFile(TGridImport& grid, const std::string& path, MappedFile& file) {
  if (file.Open(path)) return true;
  grid.ShowError("Error by opening file " + path + "\n");
  return false;
}

bool GridCount(double value, std::uint32_t& count) {
  const double whole = std::trunc(value);
  if (!(whole >= 1 && whole <= std::numeric_limits<std::int32_t>::max())) return false;
  count = static_cast<std::uint32_t>(whole);
  return true;
}

// The memory of the file's pages is given back every this many bytes while
// the nodes are copied, so that the copy does not hold the file's size too.
constexpr std::uint64_t kReleaseStep = std::uint64_t{16} << 20;

std::uint64_t MostTextNodes(std::string_view text) { return (text.size() + 1) / 2; }

bool TakeTextAllocation(TGridImport& grid, Allocation allocation) {
  if (allocation == Allocation::kNoNodes) grid.ShowError("\nError by reading grid");
  return allocation == Allocation::kInMemory || allocation == Allocation::kNoNodes;
}

bool FileStayed(TGridImport& grid, const MappedFile& file) {
  if (file.Unchanged()) return true;
  grid.ShowError("\nError by reading grid");
  return false;
}

bool TakeBinaryNodes(TGridImport& grid, Allocation allocation, FileNodes file) {
  if (allocation == Allocation::kNoNodes) {
    if (!file.complete()) grid.ShowError("\nError by reading grid");
    return true;
  }
  if (allocation == Allocation::kOnDisk) {
    if (!file.complete()) grid.ShowError("\nError by reading grid");
    grid.KeepFileNodes(std::move(file));
    return true;
  }
  // Vectors that are columns go straight into their column of the node
  // matrix; rows go through a buffer of one row.
  const std::uint32_t length = file.vector_length();
  const bool by_column = file.layout().vectors_are_columns;
  std::vector<float> row(by_column ? 0 : length);
  float* nodes = grid.nodes();
  const std::uint64_t vector_bytes = std::uint64_t{length} * EncodedSize(file.layout().encoding);
  const std::uint32_t release_every =
      static_cast<std::uint32_t>(std::max<std::uint64_t>(1, kReleaseStep / vector_bytes));
  for (std::uint32_t k = 0; k < file.vector_count(); ++k) {
    if (k % release_every == 0) file.ReleaseVectorsBefore(k);
    const std::span<float> target =
        by_column ? std::span<float>(nodes + static_cast<std::size_t>(k) * grid.nrows, length)
                  : std::span<float>(row);
    if (!grid.ReadNodeRow(file, k, 0, target)) break;
    if (by_column) continue;
    for (std::uint32_t c = 0; c < length; ++c) {
      nodes[static_cast<std::size_t>(c) * grid.nrows + k] = row[c];
    }
  }
  return FileStayed(grid, file.mapped());
}

}  // namespace torvane
