#pragma once
// The residual table: a header line and one fixed-width line per point, as C's
// "%10.1f %10.1f %10.1f %10.3f %10.6f %10d" would print it (always with '.'),
// each line ended by CR LF. A station name stands in the POINT field as
// written, and coordinates in degrees get 6 decimals; a value wider than its
// field widens the line. The table is written to a temporary file beside
// the target and only replaces it once complete.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/AtomicFile.h"
#include "common/LargeArray.h"
#include "points/PointSet.h"

namespace torvane {

inline constexpr std::string_view kResidualTableHeader =
    "         X          Y      POINT          U    TORVANE          N";

struct TableRow {
  double x = 0, y = 0, point = 0, u = 0, residual = 0;
  int n = 0;
  bool labelled = false;  // the station has a name, printed instead of `point`
  std::string_view label = {};
  int coordinate_decimals = 1;  // 6 for degrees
};

// The row of point `i` as read from its file (its coordinates, number or
// name and CBA), with its residual and N.
TableRow PointTableRow(const PointSet& points, std::size_t i, double residual, int n);

// Appends one formatted row, with its CR LF, to `out`.
void AppendTableRow(const TableRow& row, std::string& out);
// The row's six fields without the line end.
void AppendTableFields(const TableRow& row, std::string& out);
// The first four fields: X, Y, POINT and U.
void AppendTableLead(const TableRow& row, std::string& out);
// A space and the residual ("NaN" when it has none), a space and N, each
// right-aligned in `width`.
void AppendResidualFields(double residual, int n, int width, std::string& out);

class ResidualTableWriter {
 public:
  // Opens the temporary file; `ok()` is false when that is not possible.
  explicit ResidualTableWriter(const std::string& output_path);
  // Writes into `file`, which Finish completes but leaves for the caller to
  // commit (with other files of a set).
  explicit ResidualTableWriter(AtomicFile& file);

  bool ok() const { return file_.ok(); }
  // Why opening or writing failed: the system's error number (errno).
  int error() const { return file_.error(); }
  ResidualTableWriter(const ResidualTableWriter&) = delete;
  ResidualTableWriter& operator=(const ResidualTableWriter&) = delete;
  // Writes `text` as it is, line ends included.
  void WriteText(std::string_view text);
  // Writes rows 0 to count - 1, row i added (with its line end) by
  // append_row(i, out): formatted side by side, a batch of rows to an item,
  // and written in order as the items finish. append_row runs on several
  // threads at once.
  void WriteRows(std::size_t count,
                 const std::function<void(std::size_t row, std::string& out)>& append_row);
  // Writes what is left and puts the table in place (only completes a file
  // given to the constructor); false when any write, the flush or the
  // rename failed (the target is then as it was).
  bool Finish();

 private:
  // Writes the whole blocks of the buffer once it holds kFlushSize bytes
  // (all of it when `last`), keeping the rest at its start.
  void Flush(bool last);

  std::unique_ptr<AtomicFile> owned_;  // the file, unless the caller gave one
  AtomicFile& file_;
  // Bytes not yet written, on a block boundary so that whole blocks may go
  // straight to the disk.
  LargeArray<char> buffer_;
  std::size_t buffered_ = 0;
  bool write_failed_ = false;
};

}  // namespace torvane
