// Geosoft binary grid: a 512-byte header, then V vectors of E elements. The
// vectors are rows from the south (each from the west), or with orientation
// -1 columns from the west (each from the south). An element is a 1-, 2- or
// 4-byte integer or a 4- or 8-byte float, by its size and sign flag, and a
// node is element / multiplier + base; each type has its own dummy (see
// NodeEncoding). An element size beyond 1024 means the same type with the
// vectors compressed in blocks (GeosoftBlocks.h).
//
// Written with 2-byte elements, rows from the south: the base is the middle
// of the value range and the multiplier spreads the range over -32766 ...
// 32766 (-32767 marks a blank), so the values keep all the precision 16 bits
// allow; a grid whose values would come back more than 1e-4 of the range
// away is refused.

#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "grid/GeosoftBlocks.h"
#include "grid/GridFormat.h"

namespace torvane {
namespace {

constexpr std::uint64_t kHeaderRead = 76;  // the fields used, of the 512-byte header
constexpr std::uint64_t kDataOrigin = 512;
constexpr std::int32_t kVectorsAreColumns = -1;
constexpr std::int32_t kCompressed = 1024;

// The encoding of an element of `size` bytes with sign flag `sign` (0
// unsigned, 1 signed, 2 float, 3 colour); none for a combination that holds
// no plain values. A 2-byte element is always read as signed.
std::optional<NodeEncoding> ElementEncoding(std::int32_t size, std::int32_t sign) {
  switch (size) {
    case 1:
      if (sign == 0) return NodeEncoding::kUint8;
      if (sign == 1) return NodeEncoding::kInt8;
      return std::nullopt;
    case 2:
      return NodeEncoding::kInt16;
    case 4:
      if (sign == 0) return NodeEncoding::kUint32;
      if (sign == 1) return NodeEncoding::kInt32;
      if (sign == 2) return NodeEncoding::kGeosoftFloat32;
      return std::nullopt;
    case 8:
      if (sign == 3) return std::nullopt;
      return NodeEncoding::kGeosoftFloat64;
    default:
      return std::nullopt;
  }
}

std::int32_t ElementSize(std::int32_t stored) {
  return stored > kCompressed ? stored - kCompressed : stored;
}

// The 2-byte grid by its element size alone; the other sizes, compressed or
// not, also by a sign flag from 0 to 3 and an orientation of 1 or -1.
bool IsGeosoftGrid(std::span<const unsigned char> head) {
  if (head.size() < 4) return false;
  const std::int32_t stored = LoadInt32(head.data());
  if (stored == 2) return true;
  const std::int32_t size = ElementSize(stored);
  if (size != 1 && size != 2 && size != 4 && size != 8) return false;
  if (stored > kCompressed + 8 || (stored > 8 && stored <= kCompressed)) return false;
  if (head.size() < 20) return false;
  const std::int32_t sign = LoadInt32(head.data() + 4);
  const std::int32_t orientation = LoadInt32(head.data() + 16);
  return sign >= 0 && sign <= 3 && (orientation == 1 || orientation == -1);
}

bool ReadGeosoftGrid(TGridImport& grid, MappedFile& file, const std::string& path) {
  const std::span<const unsigned char> bytes = file.bytes();
  if (bytes.size() < kHeaderRead || !IsGeosoftGrid(bytes)) return false;
  const unsigned char* header = bytes.data();
  const std::int32_t stored_size = LoadInt32(header);
  const bool compressed = stored_size > kCompressed;
  const std::int32_t sign = LoadInt32(header + 4);
  const std::optional<NodeEncoding> encoding = ElementEncoding(ElementSize(stored_size), sign);
  if (!encoding) {
    grid.ShowError("Geosoft grid of colours or of an unknown element type (size " +
                   std::to_string(ElementSize(stored_size)) + ", sign flag " +
                   std::to_string(sign) + ") is not supported: " + path);
    return false;
  }
  std::uint32_t elements = 0;
  std::uint32_t vectors = 0;
  if (!GridCount(grid, "elements", LoadInt32(header + 8), elements) ||
      !GridCount(grid, "vectors", LoadInt32(header + 12), vectors)) {
    return false;
  }
  const bool by_column = LoadInt32(header + 16) == kVectorsAreColumns;
  const double element_spacing = LoadDouble(header + 20);
  const double vector_spacing = LoadDouble(header + 28);
  const double rotation = LoadDouble(header + 52);
  const double base = LoadDouble(header + 60);
  double multiplier = LoadDouble(header + 68);
  if (multiplier == 0) multiplier = 1;  // the format's default
  if (!std::isfinite(base) || !std::isfinite(multiplier)) return false;
  if (rotation != 0) {
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, "%g", rotation);
    grid.ShowError(std::string("Geosoft grid is rotated by ") + degrees +
                   " degrees; only grids along the x and y axes are read: " + path);
    return false;
  }

  // The data must be whole: a Geosoft grid is not read in part.
  // (Counted in elements per vector, so that no product can overflow.)
  const std::uint64_t size = file.size();
  const std::uint64_t whole_vectors =
      size < kDataOrigin ? 0 : (size - kDataOrigin) / EncodedSize(*encoding) / elements;
  if (size < kDataOrigin || (!compressed && whole_vectors < vectors)) {
    grid.ShowError("\nError by reading grid " + path);
    return false;
  }

  GridHeader read;
  read.format = &kGeosoftFormat;
  read.geometry = GridGeometry::FromSpacing(
      by_column ? vectors : elements, by_column ? elements : vectors, LoadDouble(header + 36),
      LoadDouble(header + 44), by_column ? vector_spacing : element_spacing,
      by_column ? element_spacing : vector_spacing);
  // Compressed, no block can hold more than zlib's greatest ratio allows.
  constexpr std::uint64_t kMostZlibRatio = 1032;
  const std::uint64_t data_bytes = size - kDataOrigin;
  const Allocation allocation = grid.Accept(
      read, {.nodes = compressed ? data_bytes * kMostZlibRatio / EncodedSize(*encoding) : UINT64_MAX,
             .memory_only = compressed,
             .node_bytes = EncodedSize(*encoding),
             .file_bytes = size,
             .header_bytes = kDataOrigin});
  if (allocation == Allocation::kDeclined) return false;

  BinaryNodeLayout layout;
  layout.encoding = *encoding;
  layout.origin = kDataOrigin;
  layout.vectors_are_columns = by_column;
  layout.ncols = grid.ncols();
  layout.nrows = grid.nrows();
  layout.base = base;
  layout.multiplier = multiplier;
  if (compressed) {
    // Its blocks are decoded from memory.
    if (!ReadWholeFile(grid, file, path)) return false;
    if (!ReadGeosoftBlocks(file.bytes(), layout, grid.nodes())) {
      grid.ShowError("\nError by reading grid " + path);
      return false;
    }
    if (!FileStayed(grid, file)) return false;
  } else if (!TakeBinaryNodes(grid, allocation, FileNodes(std::move(file), layout))) {
    return false;
  }
  grid.MeasureNodeRange();
  return true;
}

constexpr std::int16_t kBlankRaw = -32767;
constexpr double kMostRaw = 32766;
constexpr double kKeptShare = 1e-4;  // of the value range

struct Scaling {
  double base = 0;
  double multiplier = 1;
};

std::int16_t Encode(float value, const Scaling& scaling) {
  if (IsBlank(value)) return kBlankRaw;
  const double raw = std::round((value - scaling.base) * scaling.multiplier);
  return static_cast<std::int16_t>(std::fmax(-kMostRaw, std::fmin(kMostRaw, raw)));
}

// What a reader makes of a raw number, as FileNodes decodes it.
double Decode(std::int16_t raw, const Scaling& scaling) {
  return static_cast<float>(raw / scaling.multiplier + scaling.base);
}

// Empty when every node comes back within kKeptShare of the range.
std::string CheckKept(const GridValues& grid, const Scaling& scaling, double range) {
  const double tolerance = kKeptShare * range;
  for (std::uint32_t c = 0; c < grid.ncols; ++c) {
    for (std::uint32_t r = 0; r < grid.nrows; ++r) {
      const float value = grid.At(c, r);
      if (IsBlank(value)) continue;
      if (std::fabs(Decode(Encode(value, scaling), scaling) - value) <= tolerance) continue;
      char text[200];
      std::snprintf(text, sizeof text,
                    "a Geosoft 2-byte grid cannot keep node (%u, %u) = %.9g to 1e-4 of the "
                    "value range",
                    c, r, static_cast<double>(value));
      return text;
    }
  }
  return {};
}

// The scaling of the 2-byte elements; none when the value range has none.
std::optional<Scaling> ScalingOf(const GridToWrite& in) {
  Scaling scaling;
  scaling.base = in.low / 2 + in.high / 2;
  const double half = in.high / 2 - in.low / 2;
  if (half > 0) scaling.multiplier = kMostRaw / half;
  if (!std::isfinite(scaling.base) || !std::isfinite(scaling.multiplier) ||
      scaling.multiplier == 0) {
    return std::nullopt;
  }
  return scaling;
}

std::string RefuseGeosoftGrid(const GridToWrite& in) {
  const std::optional<Scaling> scaling = ScalingOf(in);
  if (!scaling) {
    return "a Geosoft 2-byte grid cannot hold values from " + std::to_string(in.low) + " to " +
           std::to_string(in.high);
  }
  return CheckKept(in.grid, *scaling, in.high - in.low);
}

// After RefuseGeosoftGrid found nothing to refuse.
bool WriteGeosoftGrid(const GridToWrite& in, GridFileBytes& out, std::string& /*reason*/) {
  const std::optional<Scaling> scaling = ScalingOf(in);
  const GridValues& grid = in.grid;
  out.Int32(2);  // element size
  out.Int32(1);  // signed
  out.Int32(static_cast<std::int32_t>(grid.ncols));  // elements: a row
  out.Int32(static_cast<std::int32_t>(grid.nrows));  // vectors
  out.Int32(1);                                      // vectors are rows
  for (const double field : {grid.dx, grid.dy, grid.xmin, grid.ymin, 0.0, scaling->base,
                             scaling->multiplier}) {
    out.Double(field);
  }
  out.PadTo(kDataOrigin);
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) out.Int16(Encode(grid.At(c, r), *scaling));
  }
  return true;
}

}  // namespace

const GridFormat kGeosoftFormat = {
    .name = "geosoft",
    .recognise = IsGeosoftGrid,
    .read = ReadGeosoftGrid,
    .open_failure = OpenFailureMessage::kError,
    .refuse = RefuseGeosoftGrid,
    .write = WriteGeosoftGrid,
};

}  // namespace torvane
