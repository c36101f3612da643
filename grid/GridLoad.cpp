// Load: the readers in their fixed order, and what they share.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "grid/GridFormat.h"

namespace torvane {

bool TGridImport::Load(const std::string& path) {
  Clear();
  const int shown_before = messages_shown_;
  path_ = path;
  MappedFile file;
  if (!file.Open(path, access_)) {
    for (const GridFormat* format : kGridFormats) {
      if (format->open_failure == OpenFailureMessage::kError) {
        ShowOpenError("Error by opening file " + path + "\n", path, file.error());
      }
    }
    for (const GridFormat* format : kGridFormats) {
      if (format->open_failure == OpenFailureMessage::kNote) {
        ShowOpenError("Error by opening file " + path, path, file.error(), false);
      }
    }
    return false;
  }
  for (const GridFormat* format : kGridFormats) {
    if (format->recognise == nullptr || !format->recognise(file.bytes())) continue;
    if (format->read(*this, file, path)) return true;
    break;
  }
  // A reader that declines leaves nothing behind.
  Clear();
  if (messages_shown_ == shown_before) ShowError("Unknown grid file format: " + path);
  return false;
}

bool GridCount(TGridImport& grid, std::string_view field, double value, std::uint32_t& count) {
  const double whole = std::trunc(value);
  if (!(whole >= 1 && whole <= std::numeric_limits<std::int32_t>::max())) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    grid.Decline(std::string(field) + " " + text + " is not a count of nodes (1 to " +
                 std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
    return false;
  }
  count = static_cast<std::uint32_t>(whole);
  return true;
}

// The memory of the file's pages is given back every this many bytes while
// the nodes are copied, so that the copy does not hold the file's size too.
constexpr std::uint64_t kReleaseStep = std::uint64_t{16} << 20;

bool ReadWholeFile(TGridImport& grid, MappedFile& file, const std::string& path) {
  if (file.ReadWhole()) return true;
  grid.ShowOpenError("\nError by reading grid", path, file.error());
  return false;
}

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
  if (allocation != Allocation::kInMemory) {
    if (!file.complete()) grid.ShowError("\nError by reading grid");
    if (allocation == Allocation::kOnDisk) grid.KeepFileNodes(std::move(file));
    return true;
  }
  // Vectors that are columns go straight into their column of the node
  // matrix. Rows are decoded a block at a time and written column by column,
  // a run of consecutive nodes in each: far fewer cache lines and pages are
  // touched than by writing one node per column for every row.
  const std::uint32_t length = file.vector_length();
  float* nodes = grid.nodes();
  const std::uint32_t nrows = grid.nrows();
  const std::uint64_t vector_bytes = std::uint64_t{length} * EncodedSize(file.layout().encoding);
  const std::uint32_t release_every =
      static_cast<std::uint32_t>(std::max<std::uint64_t>(1, kReleaseStep / vector_bytes));
  if (file.layout().vectors_are_columns) {
    for (std::uint32_t k = 0; k < file.vector_count(); ++k) {
      if (k % release_every == 0) file.ReleaseVectorsBefore(k);
      const std::span<float> column(nodes + static_cast<std::size_t>(k) * nrows, length);
      if (!grid.ReadNodeRow(file, k, 0, column)) break;
    }
    return FileStayed(grid, file.mapped());
  }
  constexpr std::uint32_t kRowsPerBlock = 16;
  std::vector<float> block(static_cast<std::size_t>(length) * kRowsPerBlock);
  for (std::uint32_t first = 0; first < file.vector_count(); first += kRowsPerBlock) {
    if (first % release_every < kRowsPerBlock) file.ReleaseVectorsBefore(first);
    const std::uint32_t rows = std::min(kRowsPerBlock, file.vector_count() - first);
    std::uint32_t read = 0;
    while (read < rows && grid.ReadNodeRow(file, first + read, 0,
                                           std::span<float>(block).subspan(
                                               static_cast<std::size_t>(read) * length, length))) {
      ++read;
    }
    for (std::uint32_t c = 0; c < length; ++c) {
      float* column = nodes + static_cast<std::size_t>(c) * nrows + first;
      for (std::uint32_t r = 0; r < read; ++r) column[r] = block[static_cast<std::size_t>(r) * length + c];
    }
    if (read < rows) break;  // the file ended early: the rest stays blank
  }
  return FileStayed(grid, file.mapped());
}

}  // namespace torvane
