#include "app/cli/BatchOptions.h"

#include "app/cli/Subcommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>

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
    std::cerr << "torvane-cli: " << flag
              << " takes a file name ending in .bmp, .jpg or .jpeg; got '" << *path << "'\n";
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
      "samples of a CBA grid on the circle of radius R. Writes a fixed-width table.\n"
      "Numbers use the decimal separator of the locale (LC_ALL / LC_NUMERIC).",
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
                 "Half-width D of the ring along the radius in metres (> 0, <= R; default 0)");
  std::string columns = "A,B,C,E";
  CLI::Option* columns_option =
      app.add_option("--columns", columns, "Column letters of X,Y,POINT,CBA")
          ->capture_default_str();
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
  std::optional<std::string> preview_cba;
  std::optional<std::string> preview_residual;
  app.add_option("--preview-cba", preview_cba,
                 "Grid the previews and save the CBA picture (.bmp or .jpg/.jpeg)");
  app.add_option("--preview-residual", preview_residual,
                 "Grid the previews and save the residual picture (.bmp or .jpg/.jpeg)");

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
    std::cerr << "torvane-cli: " << error.what() << "\nRun with --help for more information.\n";
    return 2;
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
      std::cerr << "torvane-cli: " << flag << " is required (or give --config)\n"
                << "Run with --help for more information.\n";
      return 2;
    }
  }
  if (columns_option->count() > 0) {
    PointColumns letters;
    if (!ParseColumnLetters(columns, letters)) {
      std::cerr << "torvane-cli: --columns takes four letters A to Z separated by commas, "
                   "such as A,B,C,E; got '"
                << columns << "'\n";
      return 2;
    }
    options.columns = letters;
  }
  if (!TakePictureOption("--preview-cba", preview_cba, options.preview_cba) ||
      !TakePictureOption("--preview-residual", preview_residual, options.preview_residual)) {
    return 2;
  }
  return std::nullopt;
}

}  // namespace torvane
