#include "preview/CurvePlot.h"

#include <cairo.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include "common/AtomicFile.h"
#include "common/Utf8Text.h"

namespace torvane {
namespace {

struct Frame {
  double left, top, right, bottom;  // the plotting area, in pixels
  double x_low, x_high, y_low, y_high;
  double Px(double x) const { return left + (x - x_low) / (x_high - x_low) * (right - left); }
  double Py(double y) const { return bottom - (y - y_low) / (y_high - y_low) * (bottom - top); }
};

// The shortest text of a tick value, without the noise of its rounding.
std::string TickText(double value, double step) {
  if (std::fabs(value) < step * 1e-9) value = 0;
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return std::string(text, result.ptr);
}

void ShowText(cairo_t* cr, const std::string& text, double x, double y, double align_x,
              double align_y) {
  const std::string shown = ValidUtf8(text);  // cairo takes UTF-8 alone
  cairo_text_extents_t extents;
  cairo_text_extents(cr, shown.c_str(), &extents);
  cairo_move_to(cr, x - extents.x_bearing - extents.width * align_x,
                y - extents.y_bearing - extents.height * align_y);
  cairo_show_text(cr, shown.c_str());
}

void DataRange(const CurveChart& chart, double& y_low, double& y_high) {
  y_low = INFINITY;
  y_high = -INFINITY;
  for (const CurveSeries& series : chart.series) {
    for (const double y : series.y) {
      if (!std::isfinite(y)) continue;
      y_low = std::min(y_low, y);
      y_high = std::max(y_high, y);
    }
  }
  if (!(y_low <= y_high)) y_low = 0, y_high = 1;
  y_low = std::min(y_low, 0.0);  // the scale starts at 0: magnitudes read true
  y_high += (y_high - y_low) * 0.04;  // room above the highest marker
}

void DrawAxes(cairo_t* cr, const Frame& f, const std::vector<double>& x_ticks,
              const std::vector<double>& y_ticks, const CurveChart& chart) {
  cairo_set_font_size(cr, 13);
  for (const double y : y_ticks) {
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
    cairo_move_to(cr, f.left, std::round(f.Py(y)) + 0.5);
    cairo_line_to(cr, f.right, std::round(f.Py(y)) + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, f.left - 6, std::round(f.Py(y)) + 0.5);
    cairo_line_to(cr, f.left, std::round(f.Py(y)) + 0.5);
    cairo_stroke(cr);
    ShowText(cr, TickText(y, y_ticks.size() > 1 ? y_ticks[1] - y_ticks[0] : 1), f.left - 10,
             f.Py(y), 1, 0.5);
  }
  for (const double x : x_ticks) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, std::round(f.Px(x)) + 0.5, f.bottom);
    cairo_line_to(cr, std::round(f.Px(x)) + 0.5, f.bottom + 6);
    cairo_stroke(cr);
    ShowText(cr, TickText(x, x_ticks.size() > 1 ? x_ticks[1] - x_ticks[0] : 1), f.Px(x),
             f.bottom + 10, 0.5, 0);
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, f.left + 0.5, f.top + 0.5, f.right - f.left, f.bottom - f.top);
  cairo_stroke(cr);
  cairo_set_font_size(cr, 15);
  ShowText(cr, chart.x_caption, (f.left + f.right) / 2, f.bottom + 34, 0.5, 0);
  cairo_save(cr);
  cairo_translate(cr, 22, (f.top + f.bottom) / 2);
  cairo_rotate(cr, -M_PI / 2);
  ShowText(cr, chart.y_caption, 0, 0, 0.5, 0.5);
  cairo_restore(cr);
  cairo_set_font_size(cr, 17);
  ShowText(cr, chart.title, (f.left + f.right) / 2, 16, 0.5, 0);
}

// Every value lies inside the frame's ranges, so nothing is clipped: the
// markers at the ends stay whole.
void DrawSeries(cairo_t* cr, const Frame& f, const CurveChart& chart) {
  for (const CurveSeries& series : chart.series) {
    cairo_set_source_rgb(cr, series.red, series.green, series.blue);
    cairo_set_line_width(cr, 2.5);
    const double dashes[] = {8, 5};
    cairo_set_dash(cr, dashes, series.dashed ? 2 : 0, 0);
    bool drawing = false;
    for (std::size_t i = 0; i < chart.x.size() && i < series.y.size(); ++i) {
      if (!std::isfinite(series.y[i])) {
        drawing = false;
        continue;
      }
      const double px = f.Px(chart.x[i]);
      const double py = f.Py(series.y[i]);
      drawing ? cairo_line_to(cr, px, py) : cairo_move_to(cr, px, py);
      drawing = true;
    }
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (std::size_t i = 0; i < chart.x.size() && i < series.y.size(); ++i) {
      if (!std::isfinite(series.y[i])) continue;
      cairo_arc(cr, f.Px(chart.x[i]), f.Py(series.y[i]), 4, 0, 2 * M_PI);
      cairo_fill(cr);
    }
  }
}

// The legend goes in the upper corner the curves keep away from: the left
// one when they end higher than they start.
bool LegendOnTheLeft(const CurveChart& chart) {
  double rise = 0;
  for (const CurveSeries& series : chart.series) {
    double first = NAN, last = NAN;
    for (const double y : series.y) {
      if (!std::isfinite(y)) continue;
      if (std::isnan(first)) first = y;
      last = y;
    }
    if (std::isfinite(first)) rise += last - first;
  }
  return rise > 0;
}

void DrawLegend(cairo_t* cr, const Frame& f, const CurveChart& chart) {
  cairo_set_font_size(cr, 14);
  double widest = 0;
  for (const CurveSeries& series : chart.series) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, ValidUtf8(series.label).c_str(), &extents);
    widest = std::max(widest, extents.x_advance);
  }
  const double line_height = 22;
  const double width = widest + 60;
  const double height = line_height * static_cast<double>(chart.series.size()) + 12;
  const double left = LegendOnTheLeft(chart) ? f.left + 12 : f.right - width - 12;
  const double top = f.top + 12;
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  cairo_rectangle(cr, left, top, width, height);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    const CurveSeries& series = chart.series[i];
    const double y = top + 6 + line_height * (static_cast<double>(i) + 0.5);
    cairo_set_source_rgb(cr, series.red, series.green, series.blue);
    cairo_set_line_width(cr, 2.5);
    const double dashes[] = {8, 5};
    cairo_set_dash(cr, dashes, series.dashed ? 2 : 0, 0);
    cairo_move_to(cr, left + 8, y);
    cairo_line_to(cr, left + 40, y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_set_source_rgb(cr, 0, 0, 0);
    ShowText(cr, series.label, left + 48, y, 0, 0.5);
  }
}

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<AtomicFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                 : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

std::vector<double> NiceTicks(double& low, double& high, int wanted) {
  if (!(high > low)) high = low + 1;
  const double rough = (high - low) / std::max(wanted, 1);
  const double power = std::pow(10, std::floor(std::log10(rough)));
  double step = power;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= rough) break;
  }
  const double first = std::floor(low / step + 1e-9);
  const double last = std::ceil(high / step - 1e-9);
  std::vector<double> ticks;
  for (double k = first; k <= last; ++k) ticks.push_back(k * step);
  low = first * step;
  high = last * step;
  return ticks;
}

bool WriteCurvePlot(AtomicFile& file, const CurveChart& chart) {
  const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, chart.width, chart.height),
      cairo_surface_destroy);
  const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                                   cairo_destroy);
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_line_width(cr, 1);

  Frame f{90, 44, static_cast<double>(chart.width) - 30, static_cast<double>(chart.height) - 64,
          0, 1, 0, 1};
  if (!chart.x.empty()) {
    f.x_low = *std::min_element(chart.x.begin(), chart.x.end());
    f.x_high = *std::max_element(chart.x.begin(), chart.x.end());
  }
  DataRange(chart, f.y_low, f.y_high);
  const std::vector<double> x_ticks = NiceTicks(f.x_low, f.x_high, 8);
  const std::vector<double> y_ticks = NiceTicks(f.y_low, f.y_high, 6);
  DrawAxes(cr, f, x_ticks, y_ticks, chart);
  DrawSeries(cr, f, chart);
  DrawLegend(cr, f, chart);
  cairo_surface_flush(surface.get());
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || !file.ok()) {
    file.Abandon();
    return false;
  }
  if (cairo_surface_write_to_png_stream(surface.get(), WriteToFile, &file) !=
      CAIRO_STATUS_SUCCESS) {
    file.Abandon();
    return false;
  }
  return file.Complete();
}

bool WriteCurvePlot(const std::string& path, const CurveChart& chart) {
  AtomicFile file(path);
  return WriteCurvePlot(file, chart) && file.Commit();
}

}  // namespace torvane
