#pragma once
// The data of one preview picture on its way from the points to the screen:
// the node grid, the picture-sized raster with its statistics, and the
// colours. Values are kept in single precision; 1e38 marks a blank (no
// value), and any value of 1e37 or more counts as blank.

#include <vector>

#include "common/RgbCanvas.h"

namespace torvane {

inline constexpr float kPreviewBlank = 1e38f;

// Also true for a value that is not a number, which has no place in a mean.
inline constexpr bool IsPreviewBlank(float value) { return !(value < 1e37f); }

// A double as stored in a grid or raster: values too large for the blank
// threshold become blank, values too far below zero for single precision
// are held at its lowest value.
float StorePreviewValue(double value);

// The node grid of one gridding: nx * ny values, all nodes of column 0 from
// south to north, then column 1, and so on (node (i, j) at i * ny + j).
struct PreviewGrid {
  int nx = 0;
  int ny = 0;
  std::vector<float> values;
};

// The node grid resampled to the picture: width * height values, column
// after column from the west edge, each column from the south edge (pixel
// (x, y) at x * height + y). Only the columns below used_x and the rows below
// used_y hold values; everything else is blank.
struct PreviewRaster {
  int width = 0;
  int height = 0;
  std::vector<float> values;
  double pixel_size = 0;  // map units per pixel, the same along x and y
  int used_x = 0;
  int used_y = 0;
  // Of the valued pixels; kept from the previous raster when none is valued.
  double mean = 0;
  double std_dev = 1.0;

  float At(int x, int y) const {
    return values[static_cast<std::size_t>(x) * static_cast<std::size_t>(height) +
                  static_cast<std::size_t>(y)];
  }
};

// The colours of one picture, laid out like the raster (y = 0 is the south
// edge).
struct PreviewPixels {
  int width = 0;
  int height = 0;
  std::vector<Rgb> colours;
};

// What the window keeps of its previews between griddings.
struct PreviewState {
  PreviewRaster raster;
  PreviewPixels pixels;  // from the last colouring until it is painted
  bool gridding = false; // a gridding is in progress; another may not start
};

}  // namespace torvane
