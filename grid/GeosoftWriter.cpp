// Geosoft binary grid with 2-byte elements: a 512-byte header, then the rows
// from the south, each from the west, as signed 16-bit numbers. A node is
// raw / multiplier + base; -32767 marks a blank. The base is the middle of
// the value range and the multiplier spreads the range over -32766 ... 32766,
// so the values keep all the precision 16 bits allow.

#include <cmath>
#include <cstdio>

#include "grid/GridFileBytes.h"
#include "grid/GridFileWriters.h"

namespace torvane {
namespace {

constexpr std::int16_t kBlankRaw = -32767;
constexpr double kMostRaw = 32766;
constexpr double kKeptShare = 1e-4;  // of the value range
constexpr std::uint64_t kHeaderSize = 512;

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

}  // namespace

bool WriteGeosoftGrid(const GridValues& grid, const std::string& path, std::string& reason) {
  double low = 0;
  double high = 0;
  NodeRange(grid, low, high);
  Scaling scaling;
  scaling.base = low / 2 + high / 2;
  const double half = high / 2 - low / 2;
  if (half > 0) scaling.multiplier = kMostRaw / half;
  if (!std::isfinite(scaling.base) || !std::isfinite(scaling.multiplier) ||
      scaling.multiplier == 0) {
    reason = "a Geosoft 2-byte grid cannot hold values from " + std::to_string(low) + " to " +
             std::to_string(high);
    return false;
  }
  reason = CheckKept(grid, scaling, high - low);
  if (!reason.empty()) return false;

  GridFileBytes out(path);
  if (!out.ok()) {
    reason = FileWriteFailure(out.error());
    return false;
  }
  out.Int32(2);  // element size
  out.Int32(1);  // signed
  out.Int32(static_cast<std::int32_t>(grid.ncols));  // elements: a row
  out.Int32(static_cast<std::int32_t>(grid.nrows));  // vectors
  out.Int32(1);                                      // vectors are rows
  for (const double field : {grid.dx, grid.dy, grid.xmin, grid.ymin, 0.0, scaling.base,
                             scaling.multiplier}) {
    out.Double(field);
  }
  out.PadTo(kHeaderSize);
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) out.Int16(Encode(grid.At(c, r), scaling));
  }
  if (out.Commit()) return true;
  reason = FileWriteFailure(out.error());
  return false;
}

}  // namespace torvane
