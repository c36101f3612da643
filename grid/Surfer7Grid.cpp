// Surfer 7 binary grid: a chain of sections, each a 4-byte tag, a 4-byte
// length and the content. The header section opens the file; the grid
// section gives the geometry; the data section that follows it holds
// nrows x ncols doubles, row by row from the south, each row from the west.

#include <algorithm>
#include <optional>
#include <utility>

#include "grid/GridReaders.h"

namespace torvane {
namespace {

constexpr std::uint32_t kHeaderTag = 0x42525344;  // "DSRB"
constexpr std::uint32_t kGridTag = 0x44495247;    // "GRID"
constexpr std::uint32_t kDataTag = 0x41544144;    // "DATA"
constexpr std::uint64_t kFirstSection = 12;       // after the header's tag, length and version
constexpr std::uint64_t kGridFieldsSize = 72;

struct Sections {
  std::optional<std::uint64_t> grid_fields;  // offset of the grid section's fields
  std::optional<std::uint64_t> data;         // offset of the first node
};

// Passes over the file word by word for a grid section; the word right after
// its fields must be the data tag, or the search goes on after that word. A
// grid section cut short by the end of the file makes the file unreadable.
bool FindSections(std::span<const unsigned char> bytes, Sections& found) {
  const std::uint64_t size = bytes.size();
  std::uint64_t at = kFirstSection;
  while (at + 4 <= size) {
    if (LoadUint32(&bytes[at]) != kGridTag) {
      at += 4;
      continue;
    }
    if (size - at < 8 + kGridFieldsSize) return false;
    found.grid_fields = at + 8;
    found.data.reset();
    at += 8 + kGridFieldsSize;
    if (at + 4 <= size && LoadUint32(&bytes[at]) == kDataTag) {
      found.data = at + 8;  // after the tag and the (unused) length
      return true;
    }
    at += 4;
  }
  return true;
}

}  // namespace

bool IsSurfer7Grid(std::span<const unsigned char> head) {
  return head.size() >= 4 && LoadUint32(head.data()) == kHeaderTag;
}

bool ReadSurfer7Grid(TGridImport& grid, MappedFile& file, const std::string& path) {
  Sections sections;
  if (!IsSurfer7Grid(file.bytes()) || file.size() < kFirstSection) return false;
  bool found = FindSections(file.bytes(), sections);
  // Sections beyond the head of a file that is not mapped: read it all.
  if (!file.whole() && !(found && sections.data)) {
    if (!ReadWholeFile(grid, file, path)) return false;
    sections = {};
    found = FindSections(file.bytes(), sections);
  }
  if (!found) return false;
  const std::span<const unsigned char> bytes = file.bytes();
  // A file of its header alone is an empty grid.
  if (!sections.grid_fields) {
    grid.AcceptEmpty(GridFormat::Surfer7Binary);
    return true;
  }

  const unsigned char* fields = &bytes[*sections.grid_fields];
  std::uint32_t nrows = 0;
  std::uint32_t ncols = 0;
  if (!GridCount(grid, "nRow", LoadInt32(fields), nrows) ||
      !GridCount(grid, "nCol", LoadInt32(fields + 4), ncols)) {
    return false;
  }
  GridHeader header;
  header.format = GridFormat::Surfer7Binary;
  header.geometry = GridGeometry::FromSpacing(ncols, nrows, LoadDouble(fields + 8),
                                              LoadDouble(fields + 16), LoadDouble(fields + 24),
                                              LoadDouble(fields + 32));
  header.zmin = LoadDouble(fields + 40);
  header.zmax = LoadDouble(fields + 48);
  // The rotation at +56 is not used.
  header.blank_value = LoadDouble(fields + 64);
  header.data_origin = sections.data.value_or(0);
  BinaryNodeLayout layout;
  layout.encoding = NodeEncoding::kFloat64;
  layout.origin = sections.data.value_or(file.size());
  layout.ncols = ncols;
  layout.nrows = nrows;
  layout.file_blank = header.blank_value;
  const std::uint64_t data_size = file.size() - std::min<std::uint64_t>(layout.origin, file.size());
  const Allocation allocation = grid.Accept(
      header, {.nodes = data_size / 8,
               .node_bytes = 8,
               .file_bytes = file.size(),
               .header_bytes = layout.origin});
  if (allocation == Allocation::kDeclined) return false;
  // Without a data section there are no nodes.
  if (!sections.data) return true;
  return TakeBinaryNodes(grid, allocation, FileNodes(std::move(file), layout));
}

}  // namespace torvane
