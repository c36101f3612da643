#include "app/cli/GridCrsOption.h"

#include <CLI/CLI.hpp>

#include "app/cli/CliMessages.h"
#include "points/CoordinateSystem.h"

namespace torvane {

void AddGridCrsOption(CLI::App& parser, std::optional<std::string>& crs) {
  parser.add_option("--crs", crs,
                    "Coordinate reference system of the grid written (EPSG:32735, WKT, a PROJ\n"
                    "string), in place of the input's; the nodes stay where they are");
}

bool CheckGridCrsOption(const std::optional<std::string>& crs) {
  if (!crs) return true;
  const CrsKind kind = DescribeCrs(*crs);
  if (kind == CrsKind::kGeographic || kind == CrsKind::kProjected) return true;
  UsageError(kind == CrsKind::kUnknown
                 ? "--crs: unknown coordinate reference system '" + *crs + "'"
                 : "--crs: '" + *crs + "' is not a geographic or projected coordinate reference "
                   "system");
  return false;
}

void ApplyGridCrsOption(const std::optional<std::string>& crs, GridValues& grid) {
  if (crs) grid.crs = CrsWkt(*crs);
}

}  // namespace torvane
