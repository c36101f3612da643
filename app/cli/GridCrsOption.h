#pragma once
// The --crs option of the subcommands that write grids (convert,
// grid-residual): the CRS the written grid carries, in place of the one the
// input grid names (as gdal_translate -a_srs assigns one: no node moves).

#include <optional>
#include <string>

#include "grid/GridValues.h"

namespace CLI {
class App;
}

namespace torvane {

void AddGridCrsOption(CLI::App& parser, std::optional<std::string>& crs);

// False after a usage error on stderr when `crs` is given and PROJ knows no
// geographic or projected CRS of it.
bool CheckGridCrsOption(const std::optional<std::string>& crs);

// The grid's CRS: `crs` when given (as WKT), else the one read with it.
void ApplyGridCrsOption(const std::optional<std::string>& crs, GridValues& grid);

}  // namespace torvane
