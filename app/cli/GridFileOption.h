#pragma once
// The --format option of the subcommands that write grids, and the format a
// grid output gets from it or from its file name.

#include <optional>
#include <string>

#include "grid/GridFormat.h"

namespace CLI {
class App;
}

namespace torvane {

// Adds --format F (surfer7, surfer6, surfer-ascii, esri, geosoft, gtiff,
// netcdf) to `parser`.
void AddGridFormatOption(CLI::App& parser, std::optional<std::string>& format);

// The format named by `format` (given as `format_flag`), else the one
// `path`'s extension implies; nothing (after a usage error on stderr naming
// `what`) when the name is unknown or the extension says nothing.
const GridFormat* GridFormatOfOption(const std::string& what, const std::string& path,
                                     const std::optional<std::string>& format,
                                     const std::string& format_flag = "--format");

}  // namespace torvane
