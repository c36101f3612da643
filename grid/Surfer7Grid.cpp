// Surfer 7 binary grid: a chain of sections, each a 4-byte tag, a 4-byte
// length and the content. The header section opens the file; the grid
// section gives the geometry; the data section that follows it holds
// nrows x ncols doubles, row by row from the south, each row from the west.
// Written as the header section (DSRB, version 2), the grid section with the
// geometry and the blank value, and the data section.

#include <algorithm>
#include <optional>
#include <utility>

#include "grid/GridFormat.h"

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
    grid.AcceptEmpty(kSurfer7Format);
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
  header.format = &kSurfer7Format;
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

bool WriteSurfer7Grid(const GridToWrite& in, GridFileBytes& out, std::string& /*reason*/) {
  const GridValues& grid = in.grid;
  out.Text("DSRB");
  out.Int32(4);
  out.Int32(2);
  out.Text("GRID");
  out.Int32(72);
  out.Int32(static_cast<std::int32_t>(grid.nrows));
  out.Int32(static_cast<std::int32_t>(grid.ncols));
  for (const double field :
       {grid.xmin, grid.ymin, grid.dx, grid.dy, in.low, in.high, 0.0, kBlankValue}) {
    out.Double(field);
  }
  out.Text("DATA");
  const std::uint64_t data_size = std::uint64_t{8} * grid.ncols * grid.nrows;
  // The length is a 32-bit field; larger grids are read by their counts.
  out.Int32(data_size > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(data_size));
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, r);
      out.Double(IsBlank(value) ? kBlankValue : value);
    }
  }
  return true;
}

}  // namespace

const GridFormat kSurfer7Format = {
    .name = "surfer7",
    .extensions = {"grd"},
    .recognise = IsSurfer7Grid,
    .read = ReadSurfer7Grid,
    .open_failure = OpenFailureMessage::kError,
    .write = WriteSurfer7Grid,
};

}  // namespace torvane
