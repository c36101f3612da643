#include "preview/MapRenderer.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "preview/MapDrawing.h"
#include "preview/PreviewFiles.h"
#include "preview/RasterStatistics.h"

namespace torvane {
namespace {

struct SurfaceCloser {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextCloser {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceCloser>;
using ContextHandle = std::unique_ptr<cairo_t, ContextCloser>;

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  try {
    bytes->insert(bytes->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    return CAIRO_STATUS_NO_MEMORY;
  }
  return CAIRO_STATUS_SUCCESS;
}

// Draws on `surface` and finishes it, so that a stream surface has written
// everything. Cairo's status: the surface's, or the drawing's.
cairo_status_t DrawAndFinish(cairo_surface_t* surface, const MapScene& scene, const MapView& view,
                             int width, int height, const std::optional<ColourScale>& fixed,
                             MapLayout* layout, double scale = 1) {
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return cairo_surface_status(surface);
  const ContextHandle cr(cairo_create(surface));
  cairo_scale(cr.get(), scale, scale);
  const MapLayout drawn = DrawMap(cr.get(), scene, view, width, height, fixed);
  if (layout != nullptr) *layout = drawn;
  const cairo_status_t status = cairo_status(cr.get());
  cairo_surface_flush(surface);
  return status;
}

// A stream surface finished, so that it has written everything: the first
// failure of the drawing or of the finishing.
cairo_status_t Finish(cairo_surface_t* surface, cairo_status_t drawn) {
  cairo_surface_finish(surface);
  return drawn != CAIRO_STATUS_SUCCESS ? drawn : cairo_surface_status(surface);
}

}  // namespace

std::optional<MapFormat> MapFormatOfName(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "png") return MapFormat::kPng;
  if (extension == "svg") return MapFormat::kSvg;
  if (extension == "pdf") return MapFormat::kPdf;
  return std::nullopt;
}

MapView FullView(const MapScene& scene) {
  constexpr double kHuge = std::numeric_limits<double>::max();
  MapView view{kHuge, -kHuge, kHuge, -kHuge};
  if (scene.surface != nullptr && !scene.surface->empty()) {
    const MapSurface& s = *scene.surface;
    view = {std::min(s.x0, s.x_max()), std::max(s.x0, s.x_max()), std::min(s.y0, s.y_max()),
            std::max(s.y0, s.y_max())};
  }
  if (scene.show_stations || scene.surface == nullptr) {
    for (const SurveyPoint& p : scene.stations) {
      view.x_min = std::min(view.x_min, p.x);
      view.x_max = std::max(view.x_max, p.x);
      view.y_min = std::min(view.y_min, p.y);
      view.y_max = std::max(view.y_max, p.y);
    }
  }
  if (view.x_min > view.x_max) return {0, 1, 0, 1};
  WidenRange(view.x_min, view.x_max);
  WidenRange(view.y_min, view.y_max);
  return view;
}

PreviewRaster MapRaster(const MapSurface& surface, const MapView& view, double pixel_size,
                        int width, int height) {
  PreviewRaster raster;
  raster.width = std::max(width, 0);
  raster.height = std::max(height, 0);
  raster.used_x = raster.width;
  raster.used_y = raster.height;
  raster.pixel_size = pixel_size;
  const auto h = static_cast<std::size_t>(raster.height);
  raster.values.resize(static_cast<std::size_t>(raster.width) * h);
  RasterStatistics statistics;
  for (int x = 0; x < raster.width; ++x) {
    const double map_x = view.x_min + (x + 0.5) * pixel_size;
    float* column = raster.values.data() + static_cast<std::size_t>(x) * h;
    for (int y = 0; y < raster.height; ++y) {
      const float v = SurfaceValueAt(surface, map_x, view.y_min + (y + 0.5) * pixel_size);
      column[y] = v;
      if (!IsPreviewBlank(v)) statistics.Add(v);
    }
  }
  statistics.StoreIn(raster);
  return raster;
}

MapImage RenderMapImage(const MapScene& scene, const MapView& view, int width, int height,
                        const std::optional<ColourScale>& fixed) {
  MapImage image;
  if (width < 1 || height < 1) return image;
  const SurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (DrawAndFinish(surface.get(), scene, view, width, height, fixed, &image.layout) !=
      CAIRO_STATUS_SUCCESS) {
    return MapImage();
  }
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  image.width = width;
  image.height = height;
  image.argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    std::memcpy(image.argb.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width),
                data + static_cast<std::ptrdiff_t>(row) * stride,
                static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  }
  return image;
}

bool SaveMap(Reporter& platform, const std::string& path, MapFormat format,
             const MapScene& scene, const MapView& view, int width, int height,
             const std::optional<ColourScale>& fixed, double points_per_pixel) {
  std::vector<std::uint8_t> bytes;
  cairo_status_t status = CAIRO_STATUS_INVALID_SIZE;
  if (width >= 1 && height >= 1) {
    try {
      switch (format) {
        case MapFormat::kPng: {
          const SurfaceHandle surface(
              cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
          status = DrawAndFinish(surface.get(), scene, view, width, height, fixed, nullptr);
          if (status == CAIRO_STATUS_SUCCESS) {
            status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &bytes);
          }
          break;
        }
        case MapFormat::kSvg: {
          const SurfaceHandle surface(
              cairo_svg_surface_create_for_stream(AppendBytes, &bytes, width, height));
          cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PX);
          status = Finish(surface.get(), DrawAndFinish(surface.get(), scene, view, width, height,
                                                       fixed, nullptr));
          break;
        }
        case MapFormat::kPdf: {
          const SurfaceHandle surface(cairo_pdf_surface_create_for_stream(
              AppendBytes, &bytes, width * points_per_pixel, height * points_per_pixel));
          status = Finish(surface.get(), DrawAndFinish(surface.get(), scene, view, width, height,
                                                       fixed, nullptr, points_per_pixel));
          break;
        }
      }
    } catch (const std::bad_alloc&) {
      status = CAIRO_STATUS_NO_MEMORY;
    }
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    // Cairo's own words for what failed ("out of memory", "invalid value
    // (typically too big) for the size of the input ...").
    platform.ShowFileError(
        "Cannot draw the map \"" + path + "\": " + cairo_status_to_string(status), path, 0);
    return false;
  }
  return WritePictureFile(platform, path, bytes);
}

}  // namespace torvane
