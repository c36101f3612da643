#pragma once
// The options shared by the maps beside a run and the map subcommand: the
// map files (format from the extension) and the picture size.

#include <optional>
#include <string>

#include "preview/MapRenderer.h"
#include "preview/StationGridder.h"

namespace CLI {
class App;
}

namespace torvane {

struct MapFileRequest {
  std::string path;
  MapFormat format = MapFormat::kPng;
};

struct MapSize {
  int width = 1200;
  int height = 900;
  double points_per_pixel = kPointsPerPixel;  // of a PDF page: 96 pixels an inch
};

// The largest side a map may have, in pixels, and the most pixels in all
// (a picture of that many takes about 1.3 GB while it is drawn).
inline constexpr int kLargestMapSide = 16384;
inline constexpr long long kMostMapPixels = 100'000'000;

// "WxH" (or "WXH"), both whole numbers from 16 to kLargestMapSide, with at
// most kMostMapPixels pixels.
std::optional<MapSize> ParseMapSize(const std::string& text);

// The size --map-size gives (the default without one); nothing, after a
// usage error on stderr, when it is not a size ParseMapSize takes.
std::optional<MapSize> MapSizeOf(const std::string& text);

// The map file a flag names; nothing, after a usage error on stderr, when
// its name does not end in .png, .svg or .pdf.
std::optional<MapFileRequest> MapFileOf(const std::string& flag, const std::string& path);

// Adds --map-size to `app`, bound to `text`.
void AddMapSizeOption(CLI::App& app, std::string& text);

// How the maps look: --colour-scale, --colour-range, --palette, --contours
// and --page as typed.
struct MapLookFlags {
  std::string colour_scale;
  std::string colour_range;
  std::string palette;
  std::string contours;
  std::string page;
};

struct MapLook {
  ColourChoice colours;
  double contour_interval = 0;
};

// Adds the flags of MapLookFlags to `app`.
void AddMapLookOptions(CLI::App& app, MapLookFlags& flags);

// The look the flags ask for, and with --page the size of the page in
// pixels at 96 an inch (landscape) in `size`; nothing, after a usage error
// on stderr, when a flag is not what it takes or --page comes with
// --map-size.
std::optional<MapLook> MapLookOf(const MapLookFlags& flags, bool size_given, MapSize& size);

// --gridder, --tension and --mask-distance as typed.
struct GriddingFlags {
  std::string gridder;
  std::string tension;
  std::string mask_distance;
};

// Adds the gridding flags of maps and grids made from the stations.
void AddGriddingOptions(CLI::App& app, GriddingFlags& flags);

// The gridding the flags ask for; nothing, after a usage error on stderr,
// when one of them is not what it takes.
std::optional<GriddingOptions> GriddingOf(const GriddingFlags& flags);

}  // namespace torvane
