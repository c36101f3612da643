#include "residual/ResidualTable.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "common/ParallelBlocks.h"
#include "residual/TableFields.h"

namespace torvane {
namespace {

constexpr std::size_t kFlushSize = std::size_t{4} << 20;
// The buffer holds a flush's worth, what is left of a block, and the text of
// one item of rows.
constexpr std::size_t kBufferSize = 2 * kFlushSize;

// Texts whose room is handed from one item of rows to the next, so that
// formatting a large table touches no new memory after its first items.
class TextPool {
 public:
  std::string Take() {
    const std::lock_guard<std::mutex> hold(lock_);
    if (free_.empty()) return {};
    std::string text = std::move(free_.back());
    free_.pop_back();
    return text;
  }
  void Give(std::string&& text) {
    text.clear();
    const std::lock_guard<std::mutex> hold(lock_);
    free_.push_back(std::move(text));
  }

 private:
  std::mutex lock_;
  std::vector<std::string> free_;
};

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
  file_.PreferDirect();
}

ResidualTableWriter::ResidualTableWriter(AtomicFile& file) : file_(file) {
  file_.PreferDirect();
}

void ResidualTableWriter::WriteText(std::string_view text) {
  while (!text.empty()) {
    if (!buffer_) {
      buffer_ = MakeLargeArray<char>(kBufferSize);
      if (!buffer_) throw std::bad_alloc();
    }
    const std::size_t part = std::min(text.size(), kBufferSize - buffered_);
    std::memcpy(buffer_.get() + buffered_, text.data(), part);
    buffered_ += part;
    text.remove_prefix(part);
    Flush(false);
  }
}

void ResidualTableWriter::WriteRows(
    std::size_t count, const std::function<void(std::size_t, std::string&)>& append_row) {
  constexpr std::size_t kRowsPerItem = 1024;
  std::vector<std::string> texts((count + kRowsPerItem - 1) / kRowsPerItem);
  TextPool pool;
  RunInBlocks(
      texts.size(),
      [&](std::size_t k, int /*thread*/) {
        std::string text = pool.Take();
        const std::size_t end = std::min(count, (k + 1) * kRowsPerItem);
        for (std::size_t i = k * kRowsPerItem; i < end; ++i) append_row(i, text);
        texts[k] = std::move(text);
      },
      [&](std::size_t done) {
        WriteText(texts[done - 1]);
        pool.Give(std::move(texts[done - 1]));
        return true;
      });
}

void ResidualTableWriter::Flush(bool last) {
  if (!last && buffered_ < kFlushSize) return;
  const std::size_t whole =
      last ? buffered_ : buffered_ / AtomicFile::kDirectBlock * AtomicFile::kDirectBlock;
  if (!write_failed_ && whole > 0 && !file_.Write(buffer_.get(), whole)) write_failed_ = true;
  std::memmove(buffer_.get(), buffer_.get() + whole, buffered_ - whole);
  buffered_ -= whole;
}

bool ResidualTableWriter::Finish() {
  if (buffered_ > 0) Flush(true);
  if (write_failed_) {
    file_.Abandon();
    return false;
  }
  return owned_ ? file_.Commit() : file_.Complete();
}

}  // namespace torvane
