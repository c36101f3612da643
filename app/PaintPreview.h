#pragma once
// Painting a coloured preview into its picture box.

#include "app/Platform.h"
#include "common/RgbCanvas.h"
#include "preview/PreviewData.h"

namespace torvane {

// Writes `pixels` into `picture` with north up, leaving its outermost ring
// of pixels (the black frame) untouched, releases the pixels and shows the
// picture in `image`.
void PaintPreview(Platform& platform, Control image, PreviewPixels& pixels, RgbCanvas& picture);

}  // namespace torvane
