#include "tests/GridWriters.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace torvane::testing {
namespace {

bool Missing(double value) { return value >= 1e38; }

void AppendUint(std::string& out, std::uint64_t bits, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
}
void AppendInt16(std::string& out, std::int16_t v) {
  AppendUint(out, std::bit_cast<std::uint16_t>(v), 2);
}
void AppendInt32(std::string& out, std::int32_t v) {
  AppendUint(out, std::bit_cast<std::uint32_t>(v), 4);
}
void AppendFloat(std::string& out, float v) { AppendUint(out, std::bit_cast<std::uint32_t>(v), 4); }
void AppendDouble(std::string& out, double v) {
  AppendUint(out, std::bit_cast<std::uint64_t>(v), 8);
}

void Patch(std::string& bytes, std::size_t offset, std::uint64_t bits, int size) {
  for (int i = 0; i < size; ++i) {
    bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<char>((bits >> (8 * i)) & 0xff);
  }
}

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

void ValueRange(const TestGrid& grid, double& low, double& high) {
  low = 1e300;
  high = -1e300;
  for (const double v : grid.values) {
    if (Missing(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
}

}  // namespace

TestGrid::TestGrid(int columns, int rows, double x0, double y0, double step_x, double step_y)
    : ncols(columns), nrows(rows), xmin(x0), ymin(y0), dx(step_x), dy(step_y),
      values(static_cast<std::size_t>(columns * rows), 0.0) {}

std::string Surfer7Bytes(const TestGrid& grid, double blank) {
  double low = 0, high = 0;
  ValueRange(grid, low, high);
  std::string out = "DSRB";
  AppendInt32(out, 4);
  AppendInt32(out, 2);  // version
  out += "GRID";
  AppendInt32(out, 72);
  AppendInt32(out, grid.nrows);
  AppendInt32(out, grid.ncols);
  for (const double v : {grid.xmin, grid.ymin, grid.dx, grid.dy, low, high, 0.0, blank}) {
    AppendDouble(out, v);
  }
  out += "DATA";
  AppendInt32(out, grid.ncols * grid.nrows * 8);
  for (const double v : grid.values) AppendDouble(out, Missing(v) ? blank : v);
  return out;
}

std::string Surfer6Bytes(const TestGrid& grid) {
  double low = 0, high = 0;
  ValueRange(grid, low, high);
  std::string out = "DSBB";
  AppendInt16(out, static_cast<std::int16_t>(grid.ncols));
  AppendInt16(out, static_cast<std::int16_t>(grid.nrows));
  for (const double v : {grid.xmin, grid.xmin + (grid.ncols - 1) * grid.dx, grid.ymin,
                         grid.ymin + (grid.nrows - 1) * grid.dy, low, high}) {
    AppendDouble(out, v);
  }
  for (const double v : grid.values) {
    AppendFloat(out, Missing(v) ? static_cast<float>(kSurferBlank) : static_cast<float>(v));
  }
  return out;
}

namespace {

// One element of a Geosoft grid as the file holds it, appended to `out`.
void AppendGeosoftElement(std::string& out, double value, const GeosoftOptions& o) {
  const bool missing = Missing(value);
  const double raw = (value - o.base) * o.multiplier;
  switch (o.element_size * 10 + (o.element_size == 8 ? 2 : o.sign_flag)) {
    case 10:
      AppendUint(out, missing ? 255 : static_cast<std::uint64_t>(std::lround(raw)), 1);
      break;
    case 11:
      AppendUint(out, std::bit_cast<std::uint8_t>(static_cast<std::int8_t>(missing ? -127 : std::lround(raw))), 1);
      break;
    case 20:
    case 21:
      AppendInt16(out, static_cast<std::int16_t>(missing ? -32767 : std::round(raw)));
      break;
    case 40:
      AppendUint(out, missing ? 0xFFFFFFFFu : static_cast<std::uint64_t>(std::llround(raw)), 4);
      break;
    case 41:
      AppendInt32(out, missing ? -2147483647 : static_cast<std::int32_t>(std::lround(raw)));
      break;
    case 42:
      AppendFloat(out, missing ? -1e32f : static_cast<float>(raw));
      break;
    default:
      AppendDouble(out, missing ? -1e32 : raw);
  }
}

// The elements in blocks: the table after the header, then each block's 16
// bytes of block header and its zlib stream.
std::string CompressedVectors(const std::string& elements, int vectors, int per_block) {
  const std::size_t vector_bytes = elements.size() / static_cast<std::size_t>(vectors);
  const int blocks = (vectors + per_block - 1) / per_block;
  std::vector<std::string> streams;
  for (int b = 0; b < blocks; ++b) {
    const std::size_t first = static_cast<std::size_t>(b * per_block) * vector_bytes;
    const std::size_t size = std::min(elements.size() - first, static_cast<std::size_t>(per_block) * vector_bytes);
    uLongf packed_size = compressBound(size);
    std::string packed(packed_size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
              reinterpret_cast<const Bytef*>(elements.data() + first), size, 6);
    packed.resize(packed_size);
    streams.push_back(std::string(16, '\x11') + packed);
  }
  std::string out;
  AppendInt32(out, 0x7182739);  // signature
  AppendInt32(out, 2);          // zlib
  AppendInt32(out, blocks);
  AppendInt32(out, per_block);
  std::uint64_t at = 512 + 16 + 12 * static_cast<std::uint64_t>(blocks);
  for (const std::string& stream : streams) {
    AppendUint(out, at, 8);
    at += stream.size();
  }
  for (const std::string& stream : streams) AppendInt32(out, static_cast<std::int32_t>(stream.size()));
  for (const std::string& stream : streams) out += stream;
  return out;
}

}  // namespace

std::string GeosoftBytes(const TestGrid& grid, const GeosoftOptions& options) {
  const bool by_column = options.vectors_are_columns;
  const int elements = by_column ? grid.nrows : grid.ncols;
  const int vectors = by_column ? grid.ncols : grid.nrows;
  std::string out;
  AppendInt32(out, options.element_size + (options.vectors_per_block > 0 ? 1024 : 0));
  AppendInt32(out, options.sign_flag);
  AppendInt32(out, elements);
  AppendInt32(out, vectors);
  AppendInt32(out, by_column ? -1 : 1);
  AppendDouble(out, by_column ? grid.dy : grid.dx);  // separation of elements
  AppendDouble(out, by_column ? grid.dx : grid.dy);  // separation of vectors
  for (const double v : {grid.xmin, grid.ymin, 0.0, options.base, options.multiplier}) {
    AppendDouble(out, v);
  }
  out.resize(kGeosoftData, '\0');
  std::string data;
  for (int k = 0; k < vectors; ++k) {
    for (int e = 0; e < elements; ++e) {
      AppendGeosoftElement(data, by_column ? grid.at(k, e) : grid.at(e, k), options);
    }
  }
  return out + (options.vectors_per_block > 0
                    ? CompressedVectors(data, vectors, options.vectors_per_block)
                    : data);
}

TestGrid GeosoftValues(const TestGrid& grid, const GeosoftOptions& options) {
  TestGrid held = grid;
  const bool integers = options.element_size < 4 || (options.element_size == 4 && options.sign_flag < 2);
  for (double& v : held.values) {
    if (Missing(v)) continue;
    double raw = (v - options.base) * options.multiplier;
    if (integers) raw = std::round(raw);
    if (options.element_size == 4 && options.sign_flag == 2) raw = static_cast<float>(raw);
    v = raw / options.multiplier + options.base;
  }
  return held;
}

std::string SurferAsciiText(const TestGrid& grid) {
  double low = 0, high = 0;
  ValueRange(grid, low, high);
  std::string out = "DSAA\r\n";
  out += std::to_string(grid.ncols) + " " + std::to_string(grid.nrows) + "\r\n";
  out += Number(grid.xmin) + " " + Number(grid.xmin + (grid.ncols - 1) * grid.dx) + "\r\n";
  out += Number(grid.ymin) + " " + Number(grid.ymin + (grid.nrows - 1) * grid.dy) + "\r\n";
  out += Number(low) + " " + Number(high) + "\r\n";
  for (int r = 0; r < grid.nrows; ++r) {
    for (int c = 0; c < grid.ncols; ++c) {
      out += Missing(grid.at(c, r)) ? std::string("1.70141e+38") : Number(grid.at(c, r));
      out += (c + 1) % 10 == 0 || c + 1 == grid.ncols ? "\r\n" : " ";
    }
    out += "\r\n";
  }
  return out;
}

std::string EsriAsciiText(const TestGrid& grid, double nodata, const EsriOptions& options) {
  std::string out;
  out += "ncols " + std::to_string(grid.ncols) + "\n";
  out += "nrows " + std::to_string(grid.nrows) + "\n";
  if (options.centre) {
    out += "xllcenter " + Number(grid.xmin) + "\n";
    out += "yllcenter " + Number(grid.ymin) + "\n";
  } else {
    out += "xllcorner " + Number(grid.xmin - grid.dx / 2) + "\n";
    out += "yllcorner " + Number(grid.ymin - grid.dy / 2) + "\n";
  }
  if (options.spacings) {
    out += "dx " + Number(grid.dx) + "\n";
    out += "dy " + Number(grid.dy) + "\n";
  } else {
    out += "cellsize " + Number(grid.dx) + "\n";
  }
  out += "NODATA_value " + Number(nodata) + "\n";
  for (int r = grid.nrows - 1; r >= 0; --r) {
    for (int c = 0; c < grid.ncols; ++c) {
      out += Missing(grid.at(c, r)) ? Number(nodata) : Number(grid.at(c, r));
      out += c + 1 == grid.ncols ? "\n" : " ";
    }
  }
  return out;
}

void PutInt16(std::string& bytes, std::size_t offset, std::int16_t value) {
  Patch(bytes, offset, std::bit_cast<std::uint16_t>(value), 2);
}
void PutInt32(std::string& bytes, std::size_t offset, std::int32_t value) {
  Patch(bytes, offset, std::bit_cast<std::uint32_t>(value), 4);
}
void PutDouble(std::string& bytes, std::size_t offset, double value) {
  Patch(bytes, offset, std::bit_cast<std::uint64_t>(value), 8);
}

TestGrid RandomGrid(std::mt19937_64& random, int ncols, int nrows, double blank_share) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> eighths(-8000, 8000);
  TestGrid grid(ncols, nrows, std::round(unit(random) * 2000 - 1000),
                std::round(unit(random) * 2000 - 1000), 0.5 + std::round(unit(random) * 40) / 4,
                0.5 + std::round(unit(random) * 40) / 4);
  for (double& v : grid.values) v = unit(random) < blank_share ? kSurferBlank : eighths(random) / 8.0;
  return grid;
}

}  // namespace torvane::testing
