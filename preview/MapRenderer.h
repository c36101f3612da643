#pragma once
// Full-size maps: a surface coloured by a colour scale of 40 colours
// (ColourScale) with a hill shade, labelled contours, in a frame with axes
// titled with their CRS, a colour bar labelled with the quantity and its
// unit at round values, the stations as small dots (black, open circles
// where blanked, or coloured by a value of their own) and a title. One
// drawing serves the PNG, SVG and PDF files and the map window's picture;
// SVG and PDF hold it as vectors, the surface as one image of its nodes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"
#include "preview/ColourScale.h"
#include "preview/MapSurface.h"
#include "preview/PreviewData.h"

namespace torvane {

enum class MapFormat { kPng, kSvg, kPdf };

// The format a file name asks for by its extension, in any letter case:
// .png, .svg or .pdf; nothing for any other.
std::optional<MapFormat> MapFormatOfName(const std::string& path);

// The part of the map plane shown, in the stored coordinates of the
// surface and the stations.
struct MapView {
  double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
  double width() const { return x_max - x_min; }
  double height() const { return y_max - y_min; }
};

struct MapScene {
  const MapSurface* surface = nullptr;  // none: stations only
  // The stations, drawn when `show_stations` is set: black dots, or, with
  // one value per station in `station_values`, dots in the colour scale
  // (a blank value leaves its station out).
  std::span<const SurveyPoint> stations;
  std::span<const float> station_values;
  // One per station, or none: 1 draws the station as an open circle (its
  // value was blanked).
  std::span<const std::uint8_t> station_blanked;
  bool show_stations = false;
  std::string title;
  std::string value_caption;  // beside the colour bar: the quantity and its unit
  MapQuantity quantity = MapQuantity::kValue;
  ColourChoice colours;
  double contour_interval = 0;  // > 0: labelled contours this far apart
  bool geographic = false;    // coordinates in degrees rather than metres
  std::string crs_name;       // named in the axes' titles when not empty
  // Stored coordinates less these are the file's (the axes show the file's).
  double shift_x = 0, shift_y = 0;
};

// The extent of the surface and the stations together, or of either.
MapView FullView(const MapScene& scene);

// The picture's parts, in pixels from its top-left corner.
struct PixelBox {
  int left = 0, top = 0, width = 0, height = 0;
};

// How one drawing was laid out: for reading positions back off it.
struct MapLayout {
  PixelBox plot;          // the map inside its frame
  PixelBox colour_bar;    // the 40 boxes, the lowest at the bottom
  double pixel_size = 0;  // map units per pixel, along both axes
  MapView view;           // the map position of the plot's bottom-left corner is (x_min, y_min)
  std::optional<ColourScale> scale;  // none when nothing was coloured

  // The map position under a picture pixel's centre.
  double MapX(double pixel_x) const { return view.x_min + (pixel_x + 0.5 - plot.left) * pixel_size; }
  double MapY(double pixel_y) const {
    return view.y_min + (plot.top + plot.height - pixel_y - 0.5) * pixel_size;
  }
};

// The map's surface over `view` at `pixel_size`, pixel (x, y) at its centre,
// column-major from the south-west like a preview raster, with the mean and
// standard deviation of its valued pixels.
PreviewRaster MapRaster(const MapSurface& surface, const MapView& view, double pixel_size,
                        int width, int height);

// A drawn picture: width x height pixels, premultiplied ARGB in 32-bit
// words, rows from the top.
struct MapImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  MapLayout layout;
};

// Draws the scene over `view` into a width x height picture; the colour
// scale is `fixed` when given (a window zooming in keeps its colours),
// otherwise laid over the values of the pixels drawn. An empty
// picture when the size is not positive or the memory cannot be had.
MapImage RenderMapImage(const MapScene& scene, const MapView& view, int width, int height,
                        const std::optional<ColourScale>& fixed = std::nullopt);

// Writes the scene over `view` as a width x height map into `path`, in the
// format given, replacing an existing file only once complete: a PNG of
// that many pixels, an SVG of that many px, a PDF page of that many pixels
// at 96 per inch (`points_per_pixel` 0.75) or at the points per pixel given.
// False, after telling the user, when it could not be drawn or written.
inline constexpr double kPointsPerPixel = 0.75;
bool SaveMap(Reporter& platform, const std::string& path, MapFormat format,
             const MapScene& scene, const MapView& view, int width, int height,
             const std::optional<ColourScale>& fixed = std::nullopt,
             double points_per_pixel = kPointsPerPixel);

}  // namespace torvane
