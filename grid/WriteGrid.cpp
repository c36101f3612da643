#include "grid/WriteGrid.h"

#include <cmath>
#include <cstring>

#include "common/AtomicFile.h"
#include "grid/GridFileBytes.h"

namespace torvane {
namespace {

// Why no format can hold the grid; empty when it can be written.
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

// The reason for a file that could not be made, written or put in place,
// with the system's (errno; 0 when none is known).
std::string FileWriteFailure(int system_error) {
  std::string reason = "the file could not be created or written";
  if (system_error != 0) reason += std::string(": ") + std::strerror(system_error);
  return reason;
}

// Empty when the grid was written; otherwise why not.
std::string WriteGridFile(const GridValues& grid, const std::string& path,
                          const GridFormat& format) {
  std::string reason = GridWriteRefusal(grid);
  if (!reason.empty()) return reason;
  GridToWrite in{grid};
  NodeRange(grid, in.low, in.high);
  if (format.refuse != nullptr) {
    reason = format.refuse(in);
    if (!reason.empty()) return reason;
  }
  SideFile side;
  if (format.side_file != nullptr && !format.side_file(in, path, side, reason)) return reason;
  GridFileBytes out(path);
  if (!out.ok()) return FileWriteFailure(out.error());
  if (side.path.empty()) {
    if (!format.write(in, out, reason)) return reason;
    if (!out.Commit()) return FileWriteFailure(out.error());
    return {};
  }
  AtomicFile beside(side.path);
  if (!beside.ok()) return FileWriteFailure(beside.error());
  if (!format.write(in, out, reason)) return reason;
  if (!out.Finish()) return FileWriteFailure(out.error());
  const std::string side_failure =
      "its coordinate reference system could not be written to " + side.path;
  if (!beside.Write(side.text.data(), side.text.size())) return side_failure;
  AtomicFile* const files[] = {&out.file(), &beside};
  if (const AtomicFile* failed = CommitTogether(files)) {
    return failed == &beside ? side_failure : FileWriteFailure(failed->error());
  }
  return {};
}

}  // namespace

bool WriteGrid(Reporter& platform, const GridValues& grid, const std::string& path,
               const GridFormat& format) {
  const std::string reason = WriteGridFile(grid, path, format);
  if (reason.empty()) {
    // Said, so that the user gives the CRS where the grid is read.
    if (!grid.crs.empty() && !format.keeps_crs) {
      platform.ShowMessage("The coordinate reference system was not stored in " + path + ": a " +
                               std::string(format.name) + " grid has no place for one",
                           "Note", MessageButtons::kOk);
    }
    return true;
  }
  platform.ShowMessage("Cannot write grid " + path + ": " + reason, "Error", MessageButtons::kOk);
  return false;
}

}  // namespace torvane
