#include "app/cli/BatchOptions.h"
#include "app/cli/StandardStreams.h"

#include "app/cli/CliMessages.h"
#include "app/cli/GridFileOption.h"
#include "app/cli/ReductionOptions.h"
#include "app/cli/Subcommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>

namespace torvane {

std::optional<PictureFormat> PictureFormatOfName(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "bmp") return PictureFormat::kBitmap;
  if (extension == "jpg" || extension == "jpeg") return PictureFormat::kJpeg;
  return std::nullopt;
}

namespace {

// Fills `request` from a picture option's file name; false (told on stderr)
// when the name does not say BMP or JPEG.
bool TakePictureOption(const char* flag, const std::optional<std::string>& path,
                       std::optional<PictureRequest>& request) {
  if (!path) return true;
  const std::optional<PictureFormat> format = PictureFormatOfName(*path);
  if (!format) {
    UsageError(std::string(flag) + " takes a file name ending in .bmp, .jpg or .jpeg; got '" +
               *path + "'");
    return false;
  }
  request = PictureRequest{*path, *format};
  return true;
}

}  // namespace

std::optional<int> ParseBatchOptions(int argc, char** argv, BatchOptions& options,
                                     std::function<int()>& subcommand) {
  CLI::App app{
      "Ring-average residuals of a gravity survey: for every point, its CBA less the mean CBA\n"
      "of the survey points at a distance of R +- D from it, or with --grid the mean of N\n"
      "samples of a CBA grid on the circle of radius R. Writes a fixed-width table, or CSV\n"
      "when the output's name ends in .csv.\n"
      "Numbers use the decimal separator of the locale (LC_ALL / LC_NUMERIC) unless\n"
      "--decimal-separator gives one. A point file named *.csv is read as CSV with a\n"
      "header row; --crs takes latitude/longitude.",
      "torvane-cli"};
  app.set_version_flag("--version", std::string("torvane-cli ") + TORVANE_VERSION);
  app.add_option("--config", options.config,
                 "Start from this settings file, as the window writes it; the flags\n"
                 "given beside it override its values");
  app.add_option("--input", options.input,
                 "Point file: columns of X, Y, point number, CBA (required without --config)");
  app.add_option("--output", options.output, "Residual table to write (required without --config)");
  app.add_option("--radius", options.radius,
                 "Ring radius R in metres (> 0; required without --config)");
  app.add_option("--band", options.band,
                 "Half-width D of the ring along the radius in metres (> 0, <= R; required\n"
                 "in point mode unless --config gives it)");
  StationFlags station;
  AddStationOptions(app, station);
  ReductionFlags reduction;
  AddReductionOptions(app, reduction);
  app.add_flag("--quiet", options.quiet, "No progress bar and no summary line");
  CLI::Option* grid =
      app.add_option("--grid", options.grid,
                     "Grid mode: sample the ring from this CBA grid (Surfer 7, Surfer 6,\n"
                     "Geosoft 2-byte, Surfer ASCII or ESRI ASCII, told apart by content)");
  app.add_option("--ring-points", options.ring_points,
                 "Grid mode: samples on the ring, a whole number >= 1 (default 360)")
      ->needs(grid);
  app.add_flag("--interpolated-cba", options.interpolated_cba,
               "Grid mode: start each residual from the grid's value at the point\n"
               "instead of its own CBA (the table's U column keeps the file's CBA)")
      ->needs(grid);
  app.add_option("--grid-memory-limit", options.grid_memory_limit_mib,
                 "Grid mode: let the grid's nodes take at most this many MiB of memory; a grid\n"
                 "needing more (4 bytes a node) is read from its file instead (binary\n"
                 "formats) or refused (ASCII formats)")
      ->needs(grid);
  app.add_option("--gridding-radius", options.gridding_radius,
                 "Previews: node spacing and gridding radius G in metres; 0 (the default)\n"
                 "uses the ring radius R, a small G gives a finer preview at any R");
  CLI::Option* quality = app.add_flag("--quality", options.quality,
               "Add the ring's quality after N: GAP, the widest angle in degrees with no\n"
               "ring value; SECTORS, how many of the eight 45-degree sectors hold one; SD,\n"
               "the standard deviation of the ring values");
  AddBlankingOptions(app, options.blanking);
  std::optional<std::string> preview_cba;
  std::optional<std::string> preview_residual;
  app.add_option("--preview-cba", preview_cba,
                 "Grid the previews and save the CBA picture (.bmp or .jpg/.jpeg)");
  app.add_option("--preview-residual", preview_residual,
                 "Grid the previews and save the residual picture (.bmp or .jpg/.jpeg)");

  std::optional<std::string> residual_grid;
  std::optional<std::string> residual_grid_format;
  std::string cell;
  CLI::Option* residual_grid_option = app.add_option(
      "--residual-grid", residual_grid,
      "After the run, grid the residual (by --gridder) onto nodes --cell apart over\n"
      "the points' bounding box and write it as a grid file\n"
      "(.grd Surfer 7, .asc ESRI ASCII, .tif/.tiff GeoTIFF, .nc netCDF)");
  app.add_option("--cell", cell,
                 "Node spacing of --residual-grid in metres (> 0; default the stations'\n"
                 "median spacing, rounded down to 1, 2, 2.5 or 5 times a power of ten)")
      ->needs(residual_grid_option);
  app.add_option("--residual-grid-format", residual_grid_format,
                 "Format of --residual-grid instead of the one its name implies: " +
                     GridFormatNames())
      ->needs(residual_grid_option);
  std::optional<std::string> map_cba;
  std::optional<std::string> map_residual;
  std::optional<std::string> map_gap;
  std::string map_size;
  app.add_option("--map-cba", map_cba,
                 "Draw a map of the CBA after the run (.png, .svg or .pdf)");
  app.add_option("--map-residual", map_residual,
                 "Draw a map of the residual after the run (.png, .svg or .pdf)");
  app.add_option("--map-gap", map_gap,
                 "Draw each station's GAP as a coloured dot after the run (.png, .svg or .pdf)")
      ->needs(quality);
  AddMapSizeOption(app, map_size);
  app.add_option("--map-cell", options.map_cell,
                 "Node spacing of the maps' gridding in metres (> 0; default the stations'\n"
                 "median spacing, rounded down to 1, 2, 2.5 or 5 times a power of ten)");
  app.add_flag("--map-stations", options.map_stations, "Draw the stations on the maps as dots");
  GriddingFlags gridding;
  AddGriddingOptions(app, gridding);
  MapLookFlags look;
  AddMapLookOptions(app, look);

  const std::vector<Subcommand> subcommands = AddSubcommands(app);
  app.require_subcommand(0, 1);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForVersion& version) {
    std::cout << version.what() << "\n";
    return 0;
  } catch (const CLI::ParseError& error) {
    return UsageError(error.what());
  }
  for (const Subcommand& named : subcommands) {
    if (named.parser->parsed()) {
      subcommand = named.run;
      return std::nullopt;
    }
  }
  if (!options.config) {
    for (const auto& [flag, value] : {std::pair{"--input", &options.input},
                                      {"--output", &options.output},
                                      {"--radius", &options.radius}}) {
      if (value->has_value()) continue;
      return UsageError(std::string(flag) + " is required (or give --config)");
    }
    // Without a band only points at exactly R would count: almost every
    // point would get N = 0 and a residual of 0.
    if (!options.grid && !options.band) {
      return UsageError(
          "--band is required in point mode (or give --config): it is the ring's half-width D "
          "in metres, and without it only points at exactly R would count");
    }
  }
  if (const auto stop = TakeReductionOptions(reduction, station, false, options.station,
                                             options.gravity_reduction)) {
    return *stop;
  }
  for (const auto& [flag, path] : {std::pair{"--preview-cba", &preview_cba},
                                   {"--preview-residual", &preview_residual},
                                   {"--residual-grid", &residual_grid},
                                   {"--map-cba", &map_cba},
                                   {"--map-residual", &map_residual},
                                   {"--map-gap", &map_gap}}) {
    if (const auto stop = RefuseStandardOutput(flag, *path)) return *stop;
  }
  if (!TakePictureOption("--preview-cba", preview_cba, options.preview_cba) ||
      !TakePictureOption("--preview-residual", preview_residual, options.preview_residual)) {
    return kExitUsageError;
  }
  if (residual_grid) {
    const GridFormat* format =
        GridFormatOfOption("--residual-grid", *residual_grid, residual_grid_format,
                           "--residual-grid-format");
    if (!format) return 2;
    options.residual_grid = ResidualGridRequest{*residual_grid, format, cell};
  }
  for (const auto& [flag, path, request] :
       {std::tuple{"--map-cba", &map_cba, &options.map_cba},
        std::tuple{"--map-residual", &map_residual, &options.map_residual},
        std::tuple{"--map-gap", &map_gap, &options.map_gap}}) {
    if (!*path) continue;
    *request = MapFileOf(flag, **path);
    if (!*request) return kExitUsageError;
  }
  const std::optional<MapSize> size = MapSizeOf(map_size);
  if (!size) return kExitUsageError;
  options.map_size = *size;
  const std::optional<MapLook> map_look = MapLookOf(look, !map_size.empty(), options.map_size);
  if (!map_look) return kExitUsageError;
  options.map_look = *map_look;
  const std::optional<GriddingOptions> gridding_options = GriddingOf(gridding);
  if (!gridding_options) return kExitUsageError;
  options.gridding = *gridding_options;
  return std::nullopt;
}

}  // namespace torvane
