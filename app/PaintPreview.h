#pragma once
// Painting a coloured preview into its picture.

#include "common/RgbCanvas.h"
#include "preview/PreviewData.h"

namespace torvane {

// Writes `pixels` into `picture` with north up, leaving its outermost ring
// of pixels (the black frame) untouched, and releases the pixels.
void PaintPreview(PreviewPixels& pixels, RgbCanvas& picture);

}  // namespace torvane
