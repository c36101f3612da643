#pragma once
// The command line of torvane-cli.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/cli/StationOptions.h"
#include "points/GravityReduction.h"
#include "grid/GridFormat.h"
#include "app/cli/MapOptions.h"
#include "app/cli/RingOptions.h"
#include "points/PointLine.h"
#include "preview/PreviewFiles.h"

namespace torvane {

// A preview picture to save after the run.
struct PictureRequest {
  std::string path;
  PictureFormat format = PictureFormat::kBitmap;
};

// The residual gridded after the run, written as a grid file.
struct ResidualGridRequest {
  std::string path;
  const GridFormat* format = &kSurfer7Format;
  std::string cell;  // as typed: the locale's decimal separator; empty for the default
};

// A flag left out keeps what the settings file of --config holds, or without
// one the window's default; --input, --output and --radius are required
// unless --config is given.
struct BatchOptions {
  std::optional<std::string> config;  // a settings file as the window writes it
  std::optional<std::string> input;
  std::optional<std::string> output;
  std::optional<std::string> radius;  // as typed: the locale's decimal separator
  std::optional<std::string> band;    // likewise
  std::optional<std::string> gridding_radius;  // likewise; the previews' radius, 0 for R
  StationInput station;  // how the point file is read
  // Absolute gravity and height reduced to the simple Bouguer anomaly in
  // place of a CBA column (--gravity-column, --height-column).
  std::optional<GravityReduction> gravity_reduction;
  bool quiet = false;
  std::optional<PictureRequest> preview_cba;       // the left picture
  std::optional<PictureRequest> preview_residual;  // the right picture
  std::optional<ResidualGridRequest> residual_grid;
  // Full-size maps drawn after the run.
  std::optional<MapFileRequest> map_cba;
  std::optional<MapFileRequest> map_residual;
  std::optional<MapFileRequest> map_gap;  // each station's GAP, with --quality
  MapSize map_size;
  std::optional<std::string> map_cell;  // as typed; the stations' rounded median spacing when absent
  bool map_stations = false;
  GriddingOptions gridding;  // of the maps and the residual grid
  MapLook map_look;
  // Grid mode.
  std::optional<std::string> grid;
  std::optional<std::string> ring_points;  // as typed; the window's "360" when absent
  bool interpolated_cba = false;
  std::optional<std::uint64_t> grid_memory_limit_mib;  // caps the memory a grid may take
  // Ring quality columns and blanking.
  bool quality = false;
  BlankingFlags blanking;
};

// Reads the command line into `options`, or, when it names a subcommand, sets
// `subcommand` to that subcommand's run. Returns an exit code when the
// program should stop here (0 after --help or --version, 2 for a usage
// error, reported on stderr), or nothing when the run should go ahead.
std::optional<int> ParseBatchOptions(int argc, char** argv, BatchOptions& options,
                                     std::function<int()>& subcommand);

// The picture format a file name asks for by its extension, in any letter
// case: .bmp a bitmap, .jpg or .jpeg a JPEG; nothing for any other.
std::optional<PictureFormat> PictureFormatOfName(const std::string& path);

}  // namespace torvane
