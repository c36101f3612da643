#include "app/PaintPreview.h"

#include <cstddef>

namespace torvane {

void PaintPreview(PreviewPixels& pixels, RgbCanvas& picture) {
  const int width = pixels.width;
  const int height = pixels.height;
  if (pixels.colours.size() ==
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    for (int x = 1; x < width - 1; ++x) {
      for (int y = 1; y < height - 1; ++y) {
        // Screen row 0 is the top, raster row 0 the south edge.
        picture.SetPixel(x, height - 1 - y,
                         pixels.colours[static_cast<std::size_t>(x) * height + y]);
      }
    }
  }
  pixels = PreviewPixels();
}

}  // namespace torvane
