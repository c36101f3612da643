#pragma once
// Reading saved pictures back, independently of the code that wrote them:
// a plain reader of uncompressed 24-bit Windows bitmaps, and libjpeg's
// decompression.

#include <string>
#include <vector>

#include "common/RgbCanvas.h"

namespace torvane::testing {

struct DecodedPicture {
  bool ok = false;
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;  // bitmaps
  int components = 0;      // JPEG
  bool progressive = false;
  std::vector<Rgb> pixels;  // row after row, the top row first

  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

DecodedPicture DecodeBitmap(const std::string& bytes);
DecodedPicture DecodeJpeg(const std::string& bytes);

// True when every pixel of the outermost ring of `picture` is black: its
// brightness (0.299 R + 0.587 G + 0.114 B) at most `tolerance`.
bool HasBlackFrame(const DecodedPicture& picture, int tolerance);

}  // namespace torvane::testing
