#include "tests/GridWriters.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

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

std::string GeosoftBytes(const TestGrid& grid, const GeosoftOptions& options) {
  const bool by_column = options.vectors_are_columns;
  const int elements = by_column ? grid.nrows : grid.ncols;
  const int vectors = by_column ? grid.ncols : grid.nrows;
  std::string out;
  AppendInt32(out, 2);  // element size
  AppendInt32(out, 1);  // signed
  AppendInt32(out, elements);
  AppendInt32(out, vectors);
  AppendInt32(out, by_column ? -1 : 1);
  AppendDouble(out, by_column ? grid.dy : grid.dx);  // separation of elements
  AppendDouble(out, by_column ? grid.dx : grid.dy);  // separation of vectors
  for (const double v : {grid.xmin, grid.ymin, 0.0, options.base, options.multiplier}) {
    AppendDouble(out, v);
  }
  out.resize(kGeosoftData, '\0');
  for (int k = 0; k < vectors; ++k) {
    for (int e = 0; e < elements; ++e) {
      const double v = by_column ? grid.at(k, e) : grid.at(e, k);
      const double raw = Missing(v) ? -32767 : std::round((v - options.base) * options.multiplier);
      AppendInt16(out, static_cast<std::int16_t>(raw));
    }
  }
  return out;
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

std::string EsriAsciiText(const TestGrid& grid, double nodata) {
  std::string out;
  out += "ncols " + std::to_string(grid.ncols) + "\n";
  out += "nrows " + std::to_string(grid.nrows) + "\n";
  out += "xllcorner " + Number(grid.xmin - grid.dx / 2) + "\n";
  out += "yllcorner " + Number(grid.ymin - grid.dy / 2) + "\n";
  out += "cellsize " + Number(grid.dx) + "\n";
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
