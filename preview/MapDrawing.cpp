#include "preview/MapDrawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "common/Utf8Text.h"
#include "preview/ColourRaster.h"
#include "preview/RasterStatistics.h"

namespace torvane {
namespace {

constexpr double kStepInStdDevs = 0.066;  // the width of one colour, as in the previews
constexpr int kLabelledEvery = 5;         // colour bar values at every fifth boundary

// Sizes in pixels, grown and shrunk with the picture (15 px text at 1200 x 900).
struct Metrics {
  explicit Metrics(int width, int height)
      : scale(std::clamp(std::min(width / 1200.0, height / 900.0), 0.4, 4.0)),
        font(15 * scale) {}
  double scale;
  double font;
  int Px(double in_fonts) const { return static_cast<int>(std::lround(in_fonts * font)); }
};

// A number in fixed notation with '.', whatever the locale; no "-0".
std::string Fixed(double value, int decimals) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value + 0.0,
                                          std::chars_format::fixed, decimals);
  std::string out = error == std::errc() ? std::string(text, end) : std::string("?");
  if (out.starts_with('-') && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

// The decimals that tell apart values `step` apart.
int DecimalsFor(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 8);
}

// A round tick spacing (1, 2 or 5 times a power of ten) giving about
// `wanted` ticks over `range`.
double NiceStep(double range, double wanted) {
  const double raw = range / std::max(wanted, 1.0);
  if (!(raw > 0) || !std::isfinite(raw)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10 * power;
}

struct TextSize {
  double width, height;
};

// Cairo takes UTF-8 alone; a title may hold a file name that is not.
TextSize Measure(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, ValidUtf8(text).c_str(), &extents);
  return {extents.x_advance, extents.height};
}

// Shows `text` with its reference point at (x, y): align_x 0 left, 0.5
// centre, 1 right; the text's middle on y.
void ShowText(cairo_t* cr, const std::string& text, double x, double y, double align_x,
              double cap_height) {
  const TextSize size = Measure(cr, text);
  cairo_move_to(cr, x - align_x * size.width, y + cap_height / 2);
  cairo_show_text(cr, ValidUtf8(text).c_str());
}

void SetColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

// Fits the view into the space left by the margins, one pixel size for both
// axes, centred.
MapLayout LayOut(const MapView& view, int width, int height, const Metrics& m) {
  MapLayout layout;
  layout.view = view;
  const int left = m.Px(6.5);
  const int right = m.Px(9.0);
  const int top = m.Px(3.2);
  const int bottom = m.Px(3.6);
  const int room_x = width - left - right;
  const int room_y = height - top - bottom;
  if (room_x < 2 || room_y < 2 || !(view.width() > 0) || !(view.height() > 0)) return layout;
  const double s = std::max(view.width() / room_x, view.height() / room_y);
  const int used_x = std::clamp(static_cast<int>(std::lround(view.width() / s)), 1, room_x);
  const int used_y = std::clamp(static_cast<int>(std::lround(view.height() / s)), 1, room_y);
  layout.pixel_size = s;
  layout.plot = {left + (room_x - used_x) / 2, top + (room_y - used_y) / 2, used_x, used_y};
  const int box = std::max(1, used_y / kScaleColours);
  layout.colour_bar = {layout.plot.left + used_x + m.Px(1.5), 0, m.Px(1.3), box * kScaleColours};
  layout.colour_bar.top = layout.plot.top + used_y - layout.colour_bar.height;
  return layout;
}

// The coloured surface, pixel for pixel at the plot's place.
void DrawSurface(cairo_t* cr, const MapScene& scene, MapLayout& layout,
                 const std::optional<ScaleStatistics>& fixed) {
  const int w = layout.plot.width;
  const int h = layout.plot.height;
  const PreviewRaster raster = MapRaster(*scene.surface, layout.view, layout.pixel_size, w, h, fixed);
  PreviewPixels pixels;
  ColourRaster(raster, pixels);
  layout.statistics = ScaleStatistics{raster.mean, raster.std_dev};

  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return;
  }
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int row = 0; row < h; ++row) {
    auto* line = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
    const int y = h - 1 - row;  // north up
    for (int x = 0; x < w; ++x) {
      const Rgb c = pixels.colours[static_cast<std::size_t>(x) * static_cast<std::size_t>(h) +
                                   static_cast<std::size_t>(y)];
      line[x] = 0xff000000u | static_cast<std::uint32_t>(c.r) << 16 |
                static_cast<std::uint32_t>(c.g) << 8 | c.b;
    }
  }
  cairo_surface_mark_dirty(image);
  cairo_save(cr);
  cairo_set_source_surface(cr, image, layout.plot.left, layout.plot.top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr, layout.plot.left, layout.plot.top, w, h);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(image);
}

// The statistics of the stations' own values, for colouring them.
std::optional<ScaleStatistics> StationStatistics(const MapScene& scene) {
  RasterStatistics statistics;
  for (const float v : scene.station_values) {
    if (!IsPreviewBlank(v)) statistics.Add(v);
  }
  if (statistics.count() == 0) return std::nullopt;
  PreviewRaster holder;
  statistics.StoreIn(holder);
  return ScaleStatistics{holder.mean, holder.std_dev};
}

void DrawStations(cairo_t* cr, const MapScene& scene, MapLayout& layout, const Metrics& m,
                  const std::optional<ScaleStatistics>& fixed) {
  const bool coloured = scene.station_values.size() == scene.stations.size() &&
                        !scene.station_values.empty();
  std::optional<ScaleStatistics> statistics = layout.statistics;
  if (coloured && !statistics) {
    statistics = fixed ? fixed : StationStatistics(scene);
    layout.statistics = statistics;
  }
  const double radius = coloured ? std::max(1.5, 2.6 * m.scale) : std::max(0.8, 1.2 * m.scale);
  const bool round = scene.stations.size() <= 20000;
  const auto place = [&](const SurveyPoint& p) {
    const double x = layout.plot.left + (p.x - layout.view.x_min) / layout.pixel_size;
    const double y = layout.plot.top + layout.plot.height - (p.y - layout.view.y_min) / layout.pixel_size;
    if (round) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
    } else {
      cairo_rectangle(cr, x - radius, y - radius, 2 * radius, 2 * radius);
    }
  };
  cairo_save(cr);
  cairo_rectangle(cr, layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height);
  cairo_clip(cr);
  if (!coloured) {
    for (const SurveyPoint& p : scene.stations) place(p);
    SetColour(cr, kBlack);
    cairo_fill(cr);
  } else if (statistics) {
    // One path per colour, each dot ringed in black so that it stands out.
    const double step = kStepInStdDevs * statistics->std_dev;
    for (int k = 1; k <= kScaleColours; ++k) {
      for (std::size_t i = 0; i < scene.stations.size(); ++i) {
        const float v = scene.station_values[i];
        if (!IsPreviewBlank(v) && ScaleIndex(v, statistics->mean, step) == k) place(scene.stations[i]);
      }
      SetColour(cr, kColourScale[static_cast<std::size_t>(k)]);
      cairo_fill_preserve(cr);
      SetColour(cr, kBlack);
      cairo_set_line_width(cr, std::max(0.5, 0.6 * m.scale));
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
}

void DrawAxes(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const Metrics& m,
              double cap) {
  const PixelBox& plot = layout.plot;
  const double tick = 0.45 * m.font;
  cairo_set_line_width(cr, 1);
  SetColour(cr, kBlack);
  // The frame, on whole pixels around the plot.
  cairo_rectangle(cr, plot.left - 0.5, plot.top - 0.5, plot.width + 1, plot.height + 1);
  cairo_stroke(cr);

  const double first_x = layout.view.x_min - scene.shift_x;
  const double first_y = layout.view.y_min - scene.shift_y;
  const double step_x = NiceStep(layout.view.width(), plot.width / (9.0 * m.font));
  const double step_y = NiceStep(layout.view.height(), plot.height / (5.0 * m.font));
  const int decimals_x = DecimalsFor(step_x);
  const int decimals_y = DecimalsFor(step_y);
  for (double v = std::ceil(first_x / step_x) * step_x; v <= first_x + layout.view.width() + 1e-9 * step_x;
       v += step_x) {
    const double x = std::round(plot.left + (v - first_x) / layout.pixel_size) + 0.5;
    cairo_move_to(cr, x, plot.top + plot.height + 0.5);
    cairo_rel_line_to(cr, 0, tick);
    cairo_stroke(cr);
    ShowText(cr, Fixed(v, decimals_x), x, plot.top + plot.height + tick + 0.9 * m.font, 0.5, cap);
  }
  for (double v = std::ceil(first_y / step_y) * step_y; v <= first_y + layout.view.height() + 1e-9 * step_y;
       v += step_y) {
    const double y = std::round(plot.top + plot.height - (v - first_y) / layout.pixel_size) - 0.5;
    cairo_move_to(cr, plot.left - 0.5, y);
    cairo_rel_line_to(cr, -tick, 0);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, plot.left - tick - 0.35 * m.font, y);
    cairo_rotate(cr, -std::numbers::pi / 2);
    ShowText(cr, Fixed(v, decimals_y), 0, -0.2 * m.font, 0.5, cap);
    cairo_restore(cr);
  }
  const char* x_title = scene.geographic ? "Longitude [\u00b0]" : "Easting [m]";
  const char* y_title = scene.geographic ? "Latitude [\u00b0]" : "Northing [m]";
  ShowText(cr, x_title, plot.left + plot.width / 2.0, plot.top + plot.height + tick + 2.3 * m.font, 0.5,
           cap);
  cairo_save(cr);
  cairo_translate(cr, plot.left - tick - 2.4 * m.font, plot.top + plot.height / 2.0);
  cairo_rotate(cr, -std::numbers::pi / 2);
  ShowText(cr, y_title, 0, 0, 0.5, cap);
  cairo_restore(cr);
}

// The 40 colours from the lowest at the bottom, with the values at their
// boundaries.
void DrawColourBar(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const Metrics& m,
                   double cap) {
  if (!layout.statistics) return;
  const PixelBox& bar = layout.colour_bar;
  const int box = bar.height / kScaleColours;
  for (int k = 1; k <= kScaleColours; ++k) {
    SetColour(cr, kColourScale[static_cast<std::size_t>(k)]);
    cairo_rectangle(cr, bar.left, bar.top + bar.height - k * box, bar.width, box);
    cairo_fill(cr);
  }
  SetColour(cr, kBlack);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, bar.left - 0.5, bar.top - 0.5, bar.width + 1, bar.height + 1);
  cairo_stroke(cr);

  const double step = kStepInStdDevs * layout.statistics->std_dev;
  const int decimals = DecimalsFor(kLabelledEvery * step / 10);
  const double tick = 0.35 * m.font;
  for (int k = 1; k < kScaleColours; ++k) {
    // Colour k takes values up to mean + (k - 21) steps.
    const double y = bar.top + bar.height - k * box - 0.5;
    const bool labelled = (k - kScaleCentre) % kLabelledEvery == 0;
    cairo_move_to(cr, bar.left + bar.width + 0.5, y);
    cairo_rel_line_to(cr, labelled ? tick : tick / 2, 0);
    cairo_stroke(cr);
    if (labelled) {
      const double value = layout.statistics->mean + (k - kScaleCentre) * step;
      ShowText(cr, Fixed(value, decimals), bar.left + bar.width + tick + 0.3 * m.font, y, 0, cap);
    }
  }
  if (!scene.value_caption.empty()) {
    ShowText(cr, scene.value_caption, bar.left, bar.top - 0.9 * m.font, 0, cap);
  }
}

}  // namespace

MapLayout DrawMap(cairo_t* cr, const MapScene& scene, const MapView& view, int width, int height,
                  const std::optional<ScaleStatistics>& fixed) {
  const Metrics m(width, height);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  MapLayout layout = LayOut(view, width, height, m);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, m.font);
  const double cap = Measure(cr, "0").height;
  if (layout.pixel_size > 0) {
    if (scene.surface != nullptr && !scene.surface->empty()) DrawSurface(cr, scene, layout, fixed);
    if (scene.show_stations) DrawStations(cr, scene, layout, m, fixed);
    DrawAxes(cr, scene, layout, m, cap);
    DrawColourBar(cr, scene, layout, m, cap);
  }
  if (!scene.title.empty()) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 1.2 * m.font);
    SetColour(cr, kBlack);
    ShowText(cr, scene.title, width / 2.0, m.Px(1.5), 0.5, Measure(cr, "0").height);
  }
  cairo_restore(cr);
  return layout;
}

}  // namespace torvane
