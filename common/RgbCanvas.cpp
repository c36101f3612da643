#include "common/RgbCanvas.h"

#include <algorithm>

namespace torvane {

RgbCanvas::RgbCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite) {}

Rgb RgbCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kWhite;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void RgbCanvas::SetPixel(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void RgbCanvas::FramedRectangle(int left, int top, int right, int bottom, Rgb pen, Rgb fill) {
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const bool edge = x == left || x == right - 1 || y == top || y == bottom - 1;
      SetPixel(x, y, edge ? pen : fill);
    }
  }
}

}  // namespace torvane
