#include "grid/WriteGrid.h"

#include <cmath>
#include <cstring>

#include "grid/GridFileWriters.h"

namespace torvane {

std::string GridWriteRefusal(const GridValues& grid) {
  if (grid.ncols == 0 || grid.nrows == 0 ||
      grid.nodes.size() != static_cast<std::size_t>(grid.ncols) * grid.nrows) {
    return "the grid has no nodes";
  }
  if (!std::isfinite(grid.xmin) || !std::isfinite(grid.ymin) || !std::isfinite(grid.dx) ||
      !std::isfinite(grid.dy) || !std::isfinite(grid.xmax()) || !std::isfinite(grid.ymax())) {
    return "the grid's position or spacing is not a finite number";
  }
  return {};
}

std::string FileWriteFailure(int system_error) {
  std::string reason = "the file could not be created or written";
  if (system_error != 0) reason += std::string(": ") + std::strerror(system_error);
  return reason;
}

bool WriteGrid(Reporter& platform, const GridValues& grid, const std::string& path,
               GridFileType type) {
  std::string reason = GridWriteRefusal(grid);
  bool written = false;
  if (reason.empty()) {
    switch (type) {
      case GridFileType::kSurfer7:
        written = WriteSurfer7Grid(grid, path, reason);
        break;
      case GridFileType::kSurfer6:
        written = WriteSurfer6Grid(grid, path, reason);
        break;
      case GridFileType::kSurferAscii:
        written = WriteSurferAsciiGrid(grid, path, reason);
        break;
      case GridFileType::kEsriAscii:
        written = WriteEsriAsciiGrid(grid, path, reason);
        break;
      case GridFileType::kGeosoft:
        written = WriteGeosoftGrid(grid, path, reason);
        break;
      case GridFileType::kGeoTiff:
      case GridFileType::kNetcdf:
        written = WriteGdalGrid(grid, path, type, reason);
        break;
    }
  }
  if (written) {
    // Said, so that the user gives the CRS where the grid is read.
    if (!grid.crs.empty() && type != GridFileType::kEsriAscii && type != GridFileType::kGeoTiff &&
        type != GridFileType::kNetcdf) {
      platform.ShowMessage("The coordinate reference system was not stored in " + path + ": a " +
                               std::string(GridFileTypeName(type)) + " grid has no place for one",
                           "Note", MessageButtons::kOk);
    }
    return true;
  }
  platform.ShowMessage("Cannot write grid " + path + ": " + reason, "Error", MessageButtons::kOk);
  return false;
}

}  // namespace torvane
