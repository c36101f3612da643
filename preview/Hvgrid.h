#pragma once
// The preview pictures: inverse-distance gridding of one value of the points
// onto the cluster's nodes (GridPreview, PreviewNodes), resampling to the
// picture with its statistics (ResampleToRaster, ResampleLine), the colour
// scale and hill shade (ColourRaster), painting into a picture box
// (PaintPreview) and saving as BMP or JPEG (SavePreviewBitmap,
// SavePreviewJpeg).

#include "preview/ColourRaster.h"
#include "preview/GridPreview.h"
#include "preview/PaintPreview.h"
#include "preview/PreviewData.h"
#include "preview/PreviewFiles.h"
#include "preview/PreviewNodes.h"
#include "preview/ResampleRaster.h"
