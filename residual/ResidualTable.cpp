#include "residual/ResidualTable.h"

#include <algorithm>
#include <vector>

#include "common/ParallelBlocks.h"
#include "residual/TableFields.h"

namespace torvane {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

TableRow PointTableRow(const PointSet& points, std::size_t i, double residual, int n) {
  const bool labelled = points.HasLabels();
  return {points.FileX(i), points.FileY(i), points.points[i].point, points.points[i].cba,
          residual, n, labelled, labelled ? points.Label(i) : std::string_view(),
          points.file_degrees ? 6 : 1};
}

// The one place the X, Y, POINT and U columns of a fixed-width table are
// written.
void AppendTableLead(const TableRow& row, std::string& out) {
  AppendFixedField(row.x, row.coordinate_decimals, kFieldWidth, out);
  out += ' ';
  AppendFixedField(row.y, row.coordinate_decimals, kFieldWidth, out);
  out += ' ';
  if (row.labelled) {
    AppendRightAligned(row.label, kFieldWidth, out);
  } else {
    AppendFixedField(row.point, 1, kFieldWidth, out);
  }
  out += ' ';
  AppendFixedField(row.u, 3, kFieldWidth, out);
}

void AppendResidualFields(double residual, int n, int width, std::string& out) {
  out += ' ';
  AppendFixedField(residual, 6, width, out);
  out += ' ';
  AppendCountField(n, width, out);
}

void AppendTableFields(const TableRow& row, std::string& out) {
  AppendTableLead(row, out);
  AppendResidualFields(row.residual, row.n, kFieldWidth, out);
}

void AppendTableRow(const TableRow& row, std::string& out) {
  AppendTableFields(row, out);
  out.append("\r\n");
}

ResidualTableWriter::ResidualTableWriter(const std::string& output_path)
    : owned_(std::make_unique<AtomicFile>(output_path)), file_(*owned_) {
  buffer_.reserve(kFlushSize + 1024);
}

ResidualTableWriter::ResidualTableWriter(AtomicFile& file) : file_(file) {
  buffer_.reserve(kFlushSize + 1024);
}

void ResidualTableWriter::WriteText(std::string_view text) {
  buffer_.append(text);
  FlushIfFull();
}

void ResidualTableWriter::WriteRows(
    std::size_t count, const std::function<void(std::size_t, std::string&)>& append_row) {
  constexpr std::size_t kRowsPerItem = 1024;
  std::vector<std::string> texts((count + kRowsPerItem - 1) / kRowsPerItem);
  RunInBlocks(
      texts.size(),
      [&](std::size_t k, int /*thread*/) {
        const std::size_t end = std::min(count, (k + 1) * kRowsPerItem);
        for (std::size_t i = k * kRowsPerItem; i < end; ++i) append_row(i, texts[k]);
      },
      [&](std::size_t done) {
        WriteText(texts[done - 1]);
        std::string().swap(texts[done - 1]);
        return true;
      });
}

void ResidualTableWriter::FlushIfFull() {
  if (buffer_.size() < kFlushSize) return;
  if (!write_failed_ && !file_.Write(buffer_.data(), buffer_.size())) write_failed_ = true;
  buffer_.clear();
}

bool ResidualTableWriter::Finish() {
  if (!write_failed_ && !file_.Write(buffer_.data(), buffer_.size())) write_failed_ = true;
  buffer_.clear();
  if (write_failed_) {
    file_.Abandon();
    return false;
  }
  return owned_ ? file_.Commit() : file_.Complete();
}

}  // namespace torvane
