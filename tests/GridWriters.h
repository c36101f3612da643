#pragma once
// Grid files written by the tests, in all five formats, from one description
// of a grid; and byte patches to make malformed variants of them.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace torvane::testing {

// Node (c, r) at (xmin + c * dx, ymin + r * dy), c from the west, r from the
// south. A value of 1e38 or more is a missing node; each writer marks it as
// its format does.
struct TestGrid {
  int ncols = 0;
  int nrows = 0;
  double xmin = 0, ymin = 0, dx = 1, dy = 1;
  std::vector<double> values;  // row by row from the south: values[r * ncols + c]

  TestGrid() = default;
  TestGrid(int columns, int rows, double x0, double y0, double step_x, double step_y);
  double& at(int c, int r) { return values[static_cast<std::size_t>(r * ncols + c)]; }
  double at(int c, int r) const { return values[static_cast<std::size_t>(r * ncols + c)]; }
};

inline constexpr double kSurferBlank = 1.70141e38;

// Sections DSRB (version 2), GRID, DATA; missing nodes carry `blank`.
std::string Surfer7Bytes(const TestGrid& grid, double blank = kSurferBlank);
// DSBB; missing nodes carry 1.70141e38.
std::string Surfer6Bytes(const TestGrid& grid);
// Elements raw = (value - base) * multiplier, rounded for integers; missing
// nodes carry each type's dummy (2 bytes: -32767). Rows (orientation 0) or
// columns (orientation -1) as vectors. With vectors_per_block the vectors
// are compressed, that many to a zlib block.
struct GeosoftOptions {
  bool vectors_are_columns = false;
  double base = 0;
  double multiplier = 1;
  int element_size = 2;  // 1, 2, 4 or 8
  int sign_flag = 1;     // 0 unsigned, 1 signed, 2 float
  int vectors_per_block = 0;
};
std::string GeosoftBytes(const TestGrid& grid, const GeosoftOptions& options = {});
// The values a reader finds in GeosoftBytes(grid, options): each rounded
// to its element and scaled back.
TestGrid GeosoftValues(const TestGrid& grid, const GeosoftOptions& options);
// DSAA with CR LF line ends, ten values a line; missing nodes 1.70141e+38.
std::string SurferAsciiText(const TestGrid& grid);
// xllcorner and yllcorner half a cell south-west of the first node, as the
// format defines them, or xllcenter and yllcenter on it; cellsize (needs
// dx == dy) or dx and dy lines. Missing nodes carry `nodata`.
struct EsriOptions {
  bool centre = false;
  bool spacings = false;
};
std::string EsriAsciiText(const TestGrid& grid, double nodata = -9999,
                          const EsriOptions& options = {});

// Overwrite numbers at a byte offset of a binary grid, little-endian.
void PutInt16(std::string& bytes, std::size_t offset, std::int16_t value);
void PutInt32(std::string& bytes, std::size_t offset, std::int32_t value);
void PutDouble(std::string& bytes, std::size_t offset, double value);

// Offsets of the fields of a written grid.
inline constexpr std::size_t kSurfer7GridFields = 20;  // after DSRB(12) and GRID's tag, length
inline constexpr std::size_t kSurfer7Data = 100;       // the first node
inline constexpr std::size_t kGeosoftData = 512;

// A grid of random values, about `blank_share` of them missing, values
// exactly representable in the Geosoft 2-byte encoding with multiplier 8.
TestGrid RandomGrid(std::mt19937_64& random, int ncols, int nrows, double blank_share);

}  // namespace torvane::testing
