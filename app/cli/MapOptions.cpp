#include "app/cli/MapOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>

#include "app/cli/CliMessages.h"
#include "common/DecimalNumber.h"

namespace torvane {
namespace {

std::optional<int> Side(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 16 || value > kLargestMapSide) return std::nullopt;
  return value;
}

}  // namespace

std::optional<MapSize> ParseMapSize(const std::string& text) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return std::nullopt;
  const std::optional<int> width = Side(std::string_view(text).substr(0, cross));
  const std::optional<int> height = Side(std::string_view(text).substr(cross + 1));
  if (!width || !height) return std::nullopt;
  if (static_cast<long long>(*width) * *height > kMostMapPixels) return std::nullopt;
  return MapSize{*width, *height};
}

std::optional<MapSize> MapSizeOf(const std::string& text) {
  if (text.empty()) return MapSize{};
  const std::optional<MapSize> size = ParseMapSize(text);
  if (!size) {
    UsageError("--map-size takes WxH, each from 16 to 16384 and 100 million pixels at most, "
               "such as 1200x900; got '" + text + "'");
  }
  return size;
}

std::optional<MapFileRequest> MapFileOf(const std::string& flag, const std::string& path) {
  const std::optional<MapFormat> format = MapFormatOfName(path);
  if (!format) {
    UsageError(flag + " takes a file name ending in .png, .svg or .pdf; got '" + path + "'");
    return std::nullopt;
  }
  return MapFileRequest{path, *format};
}

void AddMapSizeOption(CLI::App& app, std::string& text) {
  app.add_option("--map-size", text,
                 "Size of the maps in pixels, WxH, each side 16 to 16384, 100 million\n"
                 "pixels at most (a PDF page at 96 pixels an inch); the map keeps its\n"
                 "proportions inside (default 1200x900)");
}

void AddGriddingOptions(CLI::App& app, GriddingFlags& flags) {
  app.add_option("--gridder", flags.gridder,
                 "How the maps and --residual-grid grid the stations: min-curvature\n"
                 "(continuous curvature splines in tension, the default) or idw (the\n"
                 "previews' inverse distances within the gridding radius)");
  app.add_option("--tension", flags.tension,
                 "Tension of min-curvature, 0 (minimum curvature) to 1 (default 0.25)");
  app.add_option("--mask-distance", flags.mask_distance,
                 "min-curvature: blank the nodes farther than this many metres from every\n"
                 "station (> 0; default three times the median station spacing)");
}

std::optional<GriddingOptions> GriddingOf(const GriddingFlags& flags) {
  GriddingOptions options;
  if (!flags.gridder.empty()) {
    const std::optional<Gridder> gridder = GridderOfName(flags.gridder);
    if (!gridder) {
      UsageError("--gridder takes min-curvature or idw; got '" + flags.gridder + "'");
      return std::nullopt;
    }
    options.gridder = *gridder;
  }
  if (!flags.tension.empty() &&
      (!ParseDecimal(flags.tension, '.', options.tension) || !(options.tension >= 0) ||
       !(options.tension <= 1))) {
    UsageError("--tension takes a number from 0 to 1; got '" + flags.tension + "'");
    return std::nullopt;
  }
  if (!flags.mask_distance.empty() &&
      (!ParseDecimal(flags.mask_distance, '.', options.mask_distance) ||
       !(options.mask_distance > 0) || !std::isfinite(options.mask_distance))) {
    UsageError("--mask-distance takes a number greater than 0; got '" + flags.mask_distance + "'");
    return std::nullopt;
  }
  return options;
}

void AddMapLookOptions(CLI::App& app, MapLookFlags& flags) {
  app.add_option("--colour-scale", flags.colour_scale,
                 "How the maps' 40 colours are laid over the values: equalised (each colour\n"
                 "about the same area, the default), linear (2nd to 98th percentile), sd\n"
                 "(0.066 standard deviations a colour around the mean, as the previews)");
  app.add_option("--colour-range", flags.colour_range,
                 "The maps' colours in equal steps from MIN to MAX, as MIN:MAX");
  app.add_option("--palette", flags.palette,
                 "The maps' colours: seed (the previews', default for CBA), diverging\n"
                 "(blue-white-red centred on 0, default for residuals), viridis, cividis");
  app.add_option("--contours", flags.contours,
                 "Draw labelled contour lines this far apart (in the value's unit) on the maps");
  app.add_option("--page", flags.page,
                 "Size the maps to a landscape page instead of --map-size: A4, A3 or letter");
}

std::optional<MapLook> MapLookOf(const MapLookFlags& flags, bool size_given, MapSize& size) {
  MapLook look;
  if (!flags.colour_scale.empty()) {
    const std::optional<ScaleKind> kind = ScaleKindOfName(flags.colour_scale);
    if (!kind || *kind == ScaleKind::kRange) {
      UsageError("--colour-scale takes equalised, linear or sd; got '" + flags.colour_scale + "'");
      return std::nullopt;
    }
    look.colours.scale = kind;
  }
  if (!flags.colour_range.empty()) {
    const std::size_t colon = flags.colour_range.find(':', 1);
    double low = 0, high = 0;
    if (colon == std::string::npos || !ParseDecimal(flags.colour_range.substr(0, colon), '.', low) ||
        !ParseDecimal(flags.colour_range.substr(colon + 1), '.', high) || !std::isfinite(low) ||
        !std::isfinite(high) || !(low < high)) {
      UsageError("--colour-range takes MIN:MAX with MIN below MAX, such as -20:20; got '" +
                 flags.colour_range + "'");
      return std::nullopt;
    }
    if (look.colours.scale) {
      UsageError("--colour-range and --colour-scale exclude each other");
      return std::nullopt;
    }
    look.colours.scale = ScaleKind::kRange;
    look.colours.range_min = low;
    look.colours.range_max = high;
  }
  if (!flags.palette.empty()) {
    look.colours.palette = PaletteOfName(flags.palette);
    if (!look.colours.palette) {
      UsageError("--palette takes seed, diverging, viridis or cividis; got '" + flags.palette + "'");
      return std::nullopt;
    }
  }
  if (!flags.contours.empty() &&
      (!ParseDecimal(flags.contours, '.', look.contour_interval) || !(look.contour_interval > 0) ||
       !std::isfinite(look.contour_interval))) {
    UsageError("--contours takes an interval greater than 0; got '" + flags.contours + "'");
    return std::nullopt;
  }
  if (!flags.page.empty()) {
    // Landscape pages in points.
    struct Page {
      const char* name;
      double width, height;
    };
    constexpr Page kPages[] = {{"A4", 841.89, 595.28}, {"A3", 1190.55, 841.89}, {"letter", 792, 612}};
    const Page* page = nullptr;
    for (const Page& p : kPages) {
      if (flags.page == p.name) page = &p;
    }
    if (page == nullptr) {
      UsageError("--page takes A4, A3 or letter; got '" + flags.page + "'");
      return std::nullopt;
    }
    if (size_given) {
      UsageError("--page and --map-size exclude each other");
      return std::nullopt;
    }
    size.width = static_cast<int>(std::lround(page->width / kPointsPerPixel));
    size.height = static_cast<int>(std::lround(page->height / kPointsPerPixel));
    size.points_per_pixel = page->width / size.width;
  }
  return look;
}

}  // namespace torvane
