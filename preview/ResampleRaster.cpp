#include "preview/ResampleRaster.h"

#include "preview/RasterStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace torvane {
namespace {

// floor(length / pixel_size), held to 0 ... limit.
int PixelsAlong(double length, double pixel_size, int limit) {
  const double pixels = std::floor(length / pixel_size);
  if (!(pixels > 0)) return 0;
  return static_cast<int>(std::min(pixels, static_cast<double>(limit)));
}

}  // namespace

void ResampleLine(std::span<const float> source, double source_spacing,
                  std::span<float> destination, double destination_spacing) {
  const std::size_t n = source.size();
  const std::size_t count = destination.size();
  if (count == 0) return;
  if (n == 0) {
    std::fill(destination.begin(), destination.end(), kPreviewBlank);
    return;
  }
  const double a = source_spacing;
  const float last = source[n - 1];
  destination[0] = source[0];
  double pos = 0;
  for (std::size_t k = 1; k + 1 < count; ++k) {
    pos += destination_spacing;
    const double below = std::floor(pos / a);
    // Beyond the last source sample there is nothing to interpolate towards.
    if (!(below < static_cast<double>(n - 1))) {
      destination[k] = last;
      continue;
    }
    if (below < 0) {
      destination[k] = source[0];
      continue;
    }
    const auto i = static_cast<std::size_t>(below);
    const double d0 = std::abs(pos - static_cast<double>(i) * a);
    if (d0 > 0) {
      const double d1 = std::abs(static_cast<double>(i + 1) * a - pos);
      if (d1 > 0) {
        const float s0 = source[i];
        const float s1 = source[i + 1];
        destination[k] = IsPreviewBlank(s0) || IsPreviewBlank(s1)
                             ? kPreviewBlank
                             : StorePreviewValue((s0 / d0 + s1 / d1) / (1 / d0 + 1 / d1));
      } else {
        destination[k] = source[i + 1];
      }
    } else {
      destination[k] = source[i];
    }
  }
  if (count > 1) destination[count - 1] = last;
}

bool ResampleToRaster(Reporter& platform, const PreviewGrid& grid, double step,
                      ImageSize picture, PreviewRaster& raster) {
  const int width = std::max(picture.width, 0);
  const int height = std::max(picture.height, 0);
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  const auto nx = static_cast<std::size_t>(std::max(grid.nx, 0));
  const auto ny = static_cast<std::size_t>(std::max(grid.ny, 0));

  std::vector<float> intermediate;  // nx lines of used_y samples
  std::vector<float> source_line;
  std::vector<float> destination_line;
  try {
    raster.values.assign(w * h, kPreviewBlank);
    raster.width = width;
    raster.height = height;
    raster.used_x = 0;
    raster.used_y = 0;
    if (w == 0 || h == 0 || nx == 0 || ny == 0 || grid.values.size() < nx * ny || !(step > 0)) {
      return true;  // nothing to show
    }

    const double extent_x = grid.nx * step;
    const double extent_y = grid.ny * step;
    const double a = extent_x / width;
    const double b = extent_y / height;
    const double s = a > b ? a : b;
    raster.pixel_size = s;
    raster.used_y = PixelsAlong(extent_y, s, height);
    raster.used_x = PixelsAlong(extent_x, s, width);
    const auto used_x = static_cast<std::size_t>(raster.used_x);
    const auto used_y = static_cast<std::size_t>(raster.used_y);

    intermediate.resize(nx * used_y);
    source_line.resize(std::max(nx, ny));
    destination_line.resize(std::max(used_x, used_y));
  } catch (const std::bad_alloc&) {
    raster.values.clear();
    raster.used_x = 0;
    raster.used_y = 0;
    platform.ShowInfo("Not enough memory for temporary buffer");
    return false;
  }
  const double s = raster.pixel_size;
  const auto used_x = static_cast<std::size_t>(raster.used_x);
  const auto used_y = static_cast<std::size_t>(raster.used_y);

  // Along y: every node column becomes used_y samples.
  for (std::size_t i = 0; i < nx; ++i) {
    ResampleLine(std::span<const float>(grid.values).subspan(i * ny, ny), step,
                 std::span<float>(intermediate).subspan(i * used_y, used_y), s);
  }
  // Along x: every raster row becomes used_x samples.
  RasterStatistics statistics;
  const std::span<float> source = std::span<float>(source_line).first(nx);
  const std::span<float> destination = std::span<float>(destination_line).first(used_x);
  for (std::size_t k = 0; k < used_y; ++k) {
    for (std::size_t i = 0; i < nx; ++i) source[i] = intermediate[i * used_y + k];
    ResampleLine(source, step, destination, s);
    for (std::size_t l = 0; l < used_x; ++l) {
      raster.values[l * h + k] = destination[l];
      if (!IsPreviewBlank(destination[l])) statistics.Add(destination[l]);
    }
  }
  statistics.StoreIn(raster);
  return true;
}

}  // namespace torvane
