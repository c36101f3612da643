// torvane-cli map GRID FILE: draws any grid Torvane reads (a CBA grid, the
// grid-residual output) as a full-size map with a colour bar.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/GridSurface.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "app/cli/MapOptions.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/Subcommand.h"
#include "common/FileClash.h"
#include "common/LocaleSeparator.h"

namespace torvane {
namespace {

struct MapCommandOptions {
  std::string grid;
  std::string file;
  std::string size;
  std::string title;
  std::string label = "Value [mGal]";
  MapLookFlags look;
  bool geographic = false;
  bool quiet = false;
};

int RunMapCommand(const MapCommandOptions& options) {
  if (const auto stop = RefuseStandardOutput("FILE", options.file)) return *stop;
  const std::optional<MapFileRequest> file = MapFileOf("FILE", options.file);
  if (!file) return kExitUsageError;
  std::optional<MapSize> size = MapSizeOf(options.size);
  if (!size) return kExitUsageError;
  const std::optional<MapLook> look = MapLookOf(options.look, !options.size.empty(), *size);
  if (!look) return kExitUsageError;
  if (const auto clash = FindFileClash({{"GRID", options.grid}}, {{"FILE", file->path}})) {
    return UsageError(FileClashMessage(*clash));
  }
  BatchPlatform platform(LocaleDecimalSeparator(), false);
  MapSurface surface;
  std::string crs;
  if (!ReadGridSurface(platform, options.grid, surface, &crs)) return kExitRunFailed;
  MapScene scene;
  scene.surface = &surface;
  NameGridMap(scene, options.grid, crs, options.title, options.geographic);
  scene.value_caption = options.label;
  scene.colours = look->colours;
  scene.contour_interval = look->contour_interval;
  if (!SaveMap(platform, file->path, file->format, scene, FullView(scene), size->width,
               size->height, std::nullopt, size->points_per_pixel)) {
    return kExitRunFailed;
  }
  if (!options.quiet) std::printf("Map of %s written to %s\n", options.grid.c_str(), file->path.c_str());
  return kExitWritten;
}

}  // namespace

Subcommand AddMapCommand(CLI::App& app) {
  auto options = std::make_shared<MapCommandOptions>();
  CLI::App* map = app.add_subcommand(
      "map", "Draw a grid file (any format Torvane reads) as a map with a colour bar");
  map->add_option("GRID", options->grid, "The grid file")->required();
  map->add_option("FILE", options->file, "The map to write: .png, .svg or .pdf")->required();
  AddMapSizeOption(*map, options->size);
  map->add_option("--title", options->title, "Title above the map (default: the grid's file name)");
  map->add_option("--label", options->label,
                  "The colour bar's label: the quantity and its unit (default \"Value [mGal]\")");
  AddMapLookOptions(*map, options->look);
  map->add_flag("--geographic", options->geographic,
                "The grid's coordinates are longitude and latitude in degrees");
  map->add_flag("--quiet", options->quiet, "No summary line");
  return {map, [options] { return RunMapCommand(*options); }};
}

}  // namespace torvane
