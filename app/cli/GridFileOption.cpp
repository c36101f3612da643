#include "app/cli/GridFileOption.h"

#include <CLI/CLI.hpp>

#include "app/cli/CliMessages.h"

namespace torvane {

void AddGridFormatOption(CLI::App& parser, std::optional<std::string>& format) {
  parser.add_option("--format", format,
                    "Format of the grid written: " + GridFormatNames() +
                        "\n(default from the name: .grd surfer7, .asc esri, .tif/.tiff gtiff, "
                        ".nc netcdf)");
}

const GridFormat* GridFormatOfOption(const std::string& what, const std::string& path,
                                     const std::optional<std::string>& format,
                                     const std::string& format_flag) {
  if (format) {
    const GridFormat* named = GridFormatNamed(*format);
    if (!named) {
      UsageError(format_flag + " takes one of " + GridFormatNames() + "; got '" + *format + "'");
    }
    return named;
  }
  const GridFormat* implied = GridFormatOfPath(path);
  if (!implied) {
    UsageError("the name of " + what + " (" + path +
               ") does not tell its format: end it in .grd, .asc, .tif, .tiff or .nc, or give " +
               format_flag);
  }
  return implied;
}

}  // namespace torvane
