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
#include "preview/Contours.h"
#include "preview/RoundNumbers.h"

namespace torvane {
namespace {

// Sizes in pixels, grown and shrunk with the picture (15 px text at 1200 x 900).
struct Metrics {
  explicit Metrics(int width, int height)
      : scale(std::clamp(std::min(width / 1200.0, height / 900.0), 0.4, 4.0)),
        font(15 * scale) {}
  double scale;
  double font;
  int Px(double in_fonts) const { return static_cast<int>(std::lround(in_fonts * font)); }
};

// A number in plain decimals with '.', whatever the locale; no "-0".
std::string Fixed(double value, int decimals) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value + 0.0,
                                          std::chars_format::fixed, decimals);
  std::string out = error == std::errc() ? std::string(text, end) : std::string("?");
  if (out.starts_with('-') && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

// The decimals that tell apart values `step` apart (2.5 needs one).
int DecimalsFor(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  for (int decimals = 0; decimals < 8; ++decimals) {
    const double scaled = step * std::pow(10.0, decimals);
    if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return decimals;
  }
  return 8;
}

// The multiples of `step` from `low` to `high`.
std::vector<double> TicksOver(double low, double high, double step) {
  std::vector<double> ticks;
  for (double k = std::ceil(low / step - 1e-9); k * step <= high + 1e-9 * step; ++k) {
    ticks.push_back(k * step);
    if (ticks.size() > 1000) break;
  }
  return ticks;
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

// The colour bar's round values: as many as fit beside it, labelled where
// they do not crowd one another, each with the decimals it needs.
struct BarTicks {
  std::vector<double> values;
  std::vector<int> decimals;  // one a value

  void Add(double value, double step) {
    values.push_back(value);
    decimals.push_back(std::min(DecimalsFor(step), DecimalsFor(std::abs(value))));
  }
  std::string Label(std::size_t k) const { return Fixed(values[k], decimals[k]); }
};

BarTicks BarTicksOf(const ColourScale& scale, double bar_height, double font) {
  BarTicks ticks;
  if (scale.kind == ScaleKind::kRange && !scale.marks.empty()) {
    for (const double v : TicksOver(scale.low, scale.high, 90)) ticks.Add(v, 90);  // GAP: the quarter circles
    return ticks;
  }
  const double wanted = std::max(2.0, bar_height / (2.5 * font));
  if (scale.kind != ScaleKind::kEqualised) {
    const double step = RoundStepAtLeast((scale.high - scale.low) / wanted);
    for (const double v : TicksOver(scale.low, scale.high, step)) ticks.Add(v, step);
    return ticks;
  }
  // An equalised bar is not linear in its values: equal steps of value would
  // crowd where the values are common and leave the rest bare. The labels go
  // at even heights instead, each value rounded to a round step of the values
  // around its height, so that it stays within half a label of its place; 0
  // is always one where the bar holds it.
  const double spacing = kScaleColours / std::floor(wanted);
  std::vector<std::pair<double, double>> chosen;  // value, its step
  for (double at = 0; at <= kScaleColours + 1e-9; at += spacing) {
    const double spread = scale.ValueAt(std::min<double>(kScaleColours, at + spacing / 2)) -
                          scale.ValueAt(std::max(0.0, at - spacing / 2));
    if (!(spread > 0)) continue;
    const double step = RoundNumber(spread);
    if (!(step > 0)) continue;
    const double v = std::round(scale.ValueAt(at) / step) * step;
    if (v >= scale.low - 1e-9 * step && v <= scale.high + 1e-9 * step) chosen.emplace_back(v == 0 ? 0 : v, step);
  }
  if (scale.low < 0 && scale.high > 0) {
    const double zero = scale.PositionOf(0);
    std::erase_if(chosen, [&](const auto& c) { return std::abs(scale.PositionOf(c.first) - zero) < spacing / 2; });
    chosen.emplace_back(0, 1);
  }
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }),
               chosen.end());
  for (const auto& [v, step] : chosen) ticks.Add(v, step);
  return ticks;
}

// The widest of the bar's labels.
double WidestLabel(cairo_t* cr, const BarTicks& ticks) {
  double widest = 0;
  for (std::size_t k = 0; k < ticks.values.size(); ++k) widest = std::max(widest, Measure(cr, ticks.Label(k)).width);
  return widest;
}

// Fits the view into the space left by the margins, one pixel size for both
// axes, centred; the right margin holds the colour bar, its labels and its
// caption.
MapLayout LayOut(const MapView& view, int width, int height, const Metrics& m, double label_width,
                 bool has_bar) {
  MapLayout layout;
  layout.view = view;
  const int left = m.Px(4.2);
  const int right = has_bar ? m.Px(1.5 + 1.3 + 0.7 + 0.6 + 1.6) + static_cast<int>(std::ceil(label_width))
                            : m.Px(1.5);
  const int top = m.Px(3.0);
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

// An RGB image of `pixels` (column-major from the south), north up.
cairo_surface_t* ImageOf(const PreviewPixels& pixels) {
  const int w = pixels.width, h = pixels.height;
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return image;
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int row = 0; row < h; ++row) {
    auto* line = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
    const int y = h - 1 - row;
    for (int x = 0; x < w; ++x) {
      const Rgb c = pixels.colours[static_cast<std::size_t>(x) * static_cast<std::size_t>(h) +
                                   static_cast<std::size_t>(y)];
      line[x] = 0xff000000u | static_cast<std::uint32_t>(c.r) << 16 |
                static_cast<std::uint32_t>(c.g) << 8 | c.b;
    }
  }
  cairo_surface_mark_dirty(image);
  return image;
}

bool DrawsVectors(cairo_t* cr) {
  return cairo_surface_get_type(cairo_get_target(cr)) != CAIRO_SURFACE_TYPE_IMAGE;
}

// The coloured surface: pixel for pixel at the plot's place in a picture;
// in a vector file one image of the surface's nodes, each node's colour
// over its cell, clipped to the plot.
void DrawSurface(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const ColourScale& scale,
                 const PreviewRaster& pixels_raster) {
  const MapSurface& surface = *scene.surface;
  PreviewPixels pixels;
  cairo_save(cr);
  cairo_rectangle(cr, layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height);
  cairo_clip(cr);
  if (DrawsVectors(cr) && surface.nx >= 2 && surface.ny >= 2) {
    PreviewRaster nodes;
    nodes.width = nodes.used_x = surface.nx;
    nodes.height = nodes.used_y = surface.ny;
    nodes.values = surface.values;
    ColourRaster(nodes, scale, pixels);
    cairo_surface_t* image = ImageOf(pixels);
    // Node (0, ny - 1) is the image's top-left pixel, centred on its place.
    const double px = surface.dx / layout.pixel_size;
    const double py = surface.dy / layout.pixel_size;
    cairo_translate(cr, layout.plot.left + (surface.x0 - layout.view.x_min) / layout.pixel_size - px / 2,
                    layout.plot.top + layout.plot.height -
                        (surface.y_max() - layout.view.y_min) / layout.pixel_size - py / 2);
    cairo_scale(cr, px, py);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, surface.nx, surface.ny);
    cairo_fill(cr);
    cairo_surface_destroy(image);
  } else {
    ColourRaster(pixels_raster, scale, pixels);
    cairo_surface_t* image = ImageOf(pixels);
    cairo_set_source_surface(cr, image, layout.plot.left, layout.plot.top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height);
    cairo_fill(cr);
    cairo_surface_destroy(image);
  }
  cairo_restore(cr);
}

struct Placed {
  double x, y;
};

// The contours as thin black lines, each level labelled where there is room.
void DrawContours(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const Metrics& m,
                  double cap) {
  const MapSurface& surface = *scene.surface;
  const std::vector<double> levels = ContourLevels(surface, scene.contour_interval);
  if (levels.empty()) return;
  const int decimals = DecimalsFor(scene.contour_interval);
  const auto to_x = [&](double x) { return layout.plot.left + (x - layout.view.x_min) / layout.pixel_size; };
  const auto to_y = [&](double y) {
    return layout.plot.top + layout.plot.height - (y - layout.view.y_min) / layout.pixel_size;
  };
  cairo_save(cr);
  cairo_rectangle(cr, layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height);
  cairo_clip(cr);
  cairo_set_line_width(cr, std::max(0.6, 0.8 * m.scale));
  SetColour(cr, kBlack);
  std::vector<Placed> labels;
  const double apart = 16 * m.font;
  cairo_set_font_size(cr, 0.8 * m.font);
  for (const double level : levels) {
    const std::vector<ContourSegment> segments = ContourSegments(surface, level);
    for (const ContourSegment& s : segments) {
      cairo_move_to(cr, to_x(s.x0), to_y(s.y0));
      cairo_line_to(cr, to_x(s.x1), to_y(s.y1));
    }
    cairo_stroke(cr);
    const std::string text = Fixed(level, std::min(decimals, DecimalsFor(std::abs(level))));
    const TextSize size = Measure(cr, text);
    for (const ContourSegment& s : segments) {
      const double x = (to_x(s.x0) + to_x(s.x1)) / 2, y = (to_y(s.y0) + to_y(s.y1)) / 2;
      if (x < layout.plot.left + size.width || x > layout.plot.left + layout.plot.width - size.width ||
          y < layout.plot.top + m.font || y > layout.plot.top + layout.plot.height - m.font) {
        continue;
      }
      const bool crowded = std::any_of(labels.begin(), labels.end(), [&](const Placed& p) {
        return std::hypot(p.x - x, p.y - y) < apart;
      });
      if (crowded) continue;
      labels.push_back({x, y});
      double angle = std::atan2(to_y(s.y1) - to_y(s.y0), to_x(s.x1) - to_x(s.x0));
      if (angle > std::numbers::pi / 2) angle -= std::numbers::pi;
      if (angle < -std::numbers::pi / 2) angle += std::numbers::pi;
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, angle);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_rectangle(cr, -size.width / 2 - 2, -0.5 * cap - 2, size.width + 4, cap + 4);
      cairo_fill(cr);
      SetColour(cr, kBlack);
      ShowText(cr, text, 0, 0, 0.5, 0.8 * cap);
      cairo_restore(cr);
    }
  }
  cairo_set_font_size(cr, m.font);
  cairo_restore(cr);
}

void DrawStations(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const Metrics& m,
                  const std::optional<ColourScale>& scale) {
  const bool coloured = scene.station_values.size() == scene.stations.size() &&
                        !scene.station_values.empty() && scale.has_value();
  const bool flagged = scene.station_blanked.size() == scene.stations.size();
  const double radius = coloured ? std::max(1.5, 2.6 * m.scale) : std::max(0.8, 1.2 * m.scale);
  const bool round = scene.stations.size() <= 20000;
  const auto place = [&](const SurveyPoint& p, double r) {
    const double x = layout.plot.left + (p.x - layout.view.x_min) / layout.pixel_size;
    const double y = layout.plot.top + layout.plot.height - (p.y - layout.view.y_min) / layout.pixel_size;
    if (round) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    } else {
      cairo_rectangle(cr, x - r, y - r, 2 * r, 2 * r);
    }
  };
  const auto blanked = [&](std::size_t i) { return flagged && scene.station_blanked[i] != 0; };
  cairo_save(cr);
  cairo_rectangle(cr, layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height);
  cairo_clip(cr);
  cairo_set_line_width(cr, std::max(0.5, 0.6 * m.scale));
  if (!coloured) {
    for (std::size_t i = 0; i < scene.stations.size(); ++i) {
      if (!blanked(i)) place(scene.stations[i], radius);
    }
    SetColour(cr, kBlack);
    cairo_fill(cr);
  } else {
    // One path per colour, each dot ringed in black so that it stands out.
    for (int k = 1; k <= kScaleColours; ++k) {
      for (std::size_t i = 0; i < scene.stations.size(); ++i) {
        const float v = scene.station_values[i];
        if (!blanked(i) && scale->IndexOf(v) == k) place(scene.stations[i], radius);
      }
      SetColour(cr, scale->colours[static_cast<std::size_t>(k)]);
      cairo_fill_preserve(cr);
      SetColour(cr, kBlack);
      cairo_stroke(cr);
    }
  }
  // Blanked stations: open circles.
  bool any = false;
  for (std::size_t i = 0; i < scene.stations.size(); ++i) {
    if (!blanked(i)) continue;
    const SurveyPoint& p = scene.stations[i];
    cairo_new_sub_path(cr);
    cairo_arc(cr, layout.plot.left + (p.x - layout.view.x_min) / layout.pixel_size,
              layout.plot.top + layout.plot.height - (p.y - layout.view.y_min) / layout.pixel_size,
              std::max(2.0, 2.6 * m.scale), 0, 2 * std::numbers::pi);
    any = true;
  }
  if (any) {
    SetColour(cr, kBlack);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

// The step of an axis's ticks: round, with room for the widest label.
double AxisStep(cairo_t* cr, double low, double high, double pixel_size, double room_in_pixels) {
  double step = RoundStepAtLeast(room_in_pixels * pixel_size);
  for (int tries = 0; tries < 8; ++tries) {
    const int decimals = DecimalsFor(step);
    double widest = 0;
    for (const double v : TicksOver(low, high, step)) widest = std::max(widest, Measure(cr, Fixed(v, decimals)).width);
    if (widest * 1.4 <= step / pixel_size) return step;
    step = RoundStepAtLeast(step * 1.01);
  }
  return step;
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
  const double last_x = first_x + layout.view.width();
  const double last_y = first_y + layout.view.height();
  const double step_x = AxisStep(cr, first_x, last_x, layout.pixel_size, 6 * m.font);
  const double step_y = AxisStep(cr, first_y, last_y, layout.pixel_size, 4 * m.font);
  const int decimals_x = DecimalsFor(step_x);
  const int decimals_y = DecimalsFor(step_y);
  for (const double v : TicksOver(first_x, last_x, step_x)) {
    const double x = std::round(plot.left + (v - first_x) / layout.pixel_size) + 0.5;
    cairo_move_to(cr, x, plot.top + plot.height + 0.5);
    cairo_rel_line_to(cr, 0, tick);
    cairo_stroke(cr);
    // A label stays within the frame's width: none reaches the corner
    // where the northings' labels stand.
    const std::string text = Fixed(v, decimals_x);
    const double half = Measure(cr, text).width / 2;
    if (x - half < plot.left - 1 || x + half > plot.left + plot.width + 1) continue;
    ShowText(cr, text, x, plot.top + plot.height + tick + 0.9 * m.font, 0.5, cap);
  }
  for (const double v : TicksOver(first_y, last_y, step_y)) {
    const double y = std::round(plot.top + plot.height - (v - first_y) / layout.pixel_size) - 0.5;
    cairo_move_to(cr, plot.left - 0.5, y);
    cairo_rel_line_to(cr, -tick, 0);
    cairo_stroke(cr);
    const std::string text = Fixed(v, decimals_y);
    const double half = Measure(cr, text).width / 2;
    if (y - half < plot.top - 1 || y + half > plot.top + plot.height + 1) continue;
    cairo_save(cr);
    cairo_translate(cr, plot.left - tick - 0.35 * m.font, y);
    cairo_rotate(cr, -std::numbers::pi / 2);
    ShowText(cr, text, 0, -0.2 * m.font, 0.5, cap);
    cairo_restore(cr);
  }
  std::string x_title = scene.geographic ? "Longitude [deg]" : "Easting [m]";
  std::string y_title = scene.geographic ? "Latitude [deg]" : "Northing [m]";
  if (!scene.crs_name.empty()) {
    x_title += ", " + scene.crs_name;
    y_title += ", " + scene.crs_name;
  }
  ShowText(cr, x_title, plot.left + plot.width / 2.0, plot.top + plot.height + tick + 2.3 * m.font, 0.5,
           cap);
  cairo_save(cr);
  cairo_translate(cr, plot.left - tick - 2.0 * m.font, plot.top + plot.height / 2.0);
  cairo_rotate(cr, -std::numbers::pi / 2);
  ShowText(cr, y_title, 0, 0, 0.5, cap);
  cairo_restore(cr);
}

// The 40 colours from the lowest at the bottom, round values beside them
// and the quantity with its unit along the right.
void DrawColourBar(cairo_t* cr, const MapScene& scene, const MapLayout& layout, const Metrics& m,
                   double cap, const ColourScale& scale, const BarTicks& ticks) {
  const PixelBox& bar = layout.colour_bar;
  const int box = bar.height / kScaleColours;
  for (int k = 1; k <= kScaleColours; ++k) {
    SetColour(cr, scale.colours[static_cast<std::size_t>(k)]);
    cairo_rectangle(cr, bar.left, bar.top + bar.height - k * box, bar.width, box);
    cairo_fill(cr);
  }
  SetColour(cr, kBlack);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, bar.left - 0.5, bar.top - 0.5, bar.width + 1, bar.height + 1);
  cairo_stroke(cr);

  const double tick = 0.35 * m.font;
  const auto y_of = [&](double value) { return bar.top + bar.height - scale.PositionOf(value) * box; };
  double last_label = 1e300, last_tick = 1e300;
  for (std::size_t k = 0; k < ticks.values.size(); ++k) {
    const double y = y_of(ticks.values[k]);
    if (std::abs(y - last_tick) < 0.3 * m.font) continue;  // squeezed into the bar's end
    last_tick = y;
    cairo_move_to(cr, bar.left + bar.width + 0.5, y);
    cairo_rel_line_to(cr, tick, 0);
    cairo_stroke(cr);
    if (std::abs(y - last_label) < 1.3 * m.font) continue;  // no label over another
    ShowText(cr, ticks.Label(k), bar.left + bar.width + tick + 0.3 * m.font, y, 0, cap);
    last_label = y;
  }
  // Marked values (GAP: 90 and 180 degrees) across the bar.
  cairo_set_line_width(cr, 2);
  for (const double v : scale.marks) {
    cairo_move_to(cr, bar.left - 0.3 * m.font, y_of(v));
    cairo_line_to(cr, bar.left + bar.width + tick, y_of(v));
  }
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  if (!scene.value_caption.empty()) {
    cairo_save(cr);
    cairo_translate(cr, bar.left + bar.width + tick + 0.6 * m.font + WidestLabel(cr, ticks) + 0.8 * m.font,
                    bar.top + bar.height / 2.0);
    cairo_rotate(cr, -std::numbers::pi / 2);
    ShowText(cr, scene.value_caption, 0, 0, 0.5, cap);
    cairo_restore(cr);
  }
}

// The values the scale is laid over: the stations' own when they are
// coloured without a surface.
std::span<const float> ScaledValues(const MapScene& scene, const PreviewRaster& raster) {
  if (scene.surface != nullptr && !scene.surface->empty()) return raster.values;
  return scene.station_values;
}

}  // namespace

MapLayout DrawMap(cairo_t* cr, const MapScene& scene, const MapView& view, int width, int height,
                  const std::optional<ColourScale>& fixed) {
  const Metrics m(width, height);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_fill(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, m.font);
  const double cap = Measure(cr, "0").height;
  const bool has_surface = scene.surface != nullptr && !scene.surface->empty();
  const bool has_values = has_surface || (scene.show_stations && !scene.station_values.empty() &&
                                          scene.station_values.size() == scene.stations.size());
  // A first scale over the nodes or stations sizes the bar's labels; the
  // scale drawn is laid over the pixels themselves.
  std::optional<ColourScale> scale = fixed;
  if (has_values && !scale) {
    scale = LayColourScale(scene.colours, scene.quantity,
                           has_surface ? std::span<const float>(scene.surface->values) : scene.station_values);
  }
  // The bar's height follows the plot's, which follows the room the bar's
  // labels leave: laid out again when the labels turn out wider.
  double label_width = 0;
  MapLayout layout = LayOut(view, width, height, m, label_width, scale.has_value());
  for (int pass = 0; pass < 3 && scale; ++pass) {
    const double widest = WidestLabel(cr, BarTicksOf(*scale, std::max(40, layout.colour_bar.height), m.font));
    if (widest <= label_width) break;
    label_width = widest;
    layout = LayOut(view, width, height, m, label_width, true);
  }
  if (layout.pixel_size > 0) {
    PreviewRaster raster;
    if (has_surface) {
      raster = MapRaster(*scene.surface, layout.view, layout.pixel_size, layout.plot.width, layout.plot.height);
    }
    if (has_values && !fixed) scale = LayColourScale(scene.colours, scene.quantity, ScaledValues(scene, raster));
    layout.scale = scale;
    if (has_surface) DrawSurface(cr, scene, layout, *scale, raster);
    if (has_surface && scene.contour_interval > 0) DrawContours(cr, scene, layout, m, cap);
    if (scene.show_stations) DrawStations(cr, scene, layout, m, scale);
    DrawAxes(cr, scene, layout, m, cap);
    if (scale) DrawColourBar(cr, scene, layout, m, cap, *scale, BarTicksOf(*scale, layout.colour_bar.height, m.font));
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
