#pragma once
// The picture of one preview box: W x H pixels of 8-bit red, green, blue,
// owned by the window's logic. The platform only shows it, and a saved picture
// is written from it, so the file holds exactly what the window shows.

#include <cstdint>
#include <vector>

namespace torvane {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The size of a picture, in pixels.
struct ImageSize {
  int width = 0;
  int height = 0;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

class RgbCanvas {
 public:
  RgbCanvas() = default;
  RgbCanvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Pixel(int x, int y) const;
  void SetPixel(int x, int y, Rgb colour);  // ignored outside the canvas

  // The rectangle (left, top) to (right, bottom), right and bottom exclusive:
  // a one-pixel frame in `pen`, the inside filled with `fill`.
  void FramedRectangle(int left, int top, int right, int bottom, Rgb pen, Rgb fill);

  // A white area in a one-pixel black frame over the whole canvas.
  void Clear() { FramedRectangle(0, 0, width_, height_, kBlack, kWhite); }

  const std::vector<Rgb>& pixels() const { return pixels_; }  // row after row

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

}  // namespace torvane
