#include "residual/ResidualTable.h"

#include <charconv>
#include <cstring>

#include "residual/FixedNotation.h"

namespace torvane {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;
constexpr int kFieldWidth = 10;

// Right-aligns the characters in [begin, end) in a field of at least
// kFieldWidth, followed by `suffix`.
void AppendField(const char* begin, const char* end, std::string_view suffix, std::string& out) {
  const auto length = static_cast<int>(end - begin);
  if (length < kFieldWidth) out.append(static_cast<std::size_t>(kFieldWidth - length), ' ');
  out.append(begin, end);
  out.append(suffix);
}

void AppendFixed(double value, int decimals, std::string_view suffix, std::string& out) {
  char digits[kFixedNotationSize];
  AppendField(digits, WriteFixed(value, decimals, digits), suffix, out);
}

}  // namespace

void AppendTableRow(const TableRow& row, std::string& out) {
  AppendFixed(row.x, row.coordinate_decimals, " ", out);
  AppendFixed(row.y, row.coordinate_decimals, " ", out);
  if (!row.labelled) {
    AppendFixed(row.point, 1, " ", out);
  } else {
    AppendField(row.label.data(), row.label.data() + row.label.size(), " ", out);
  }
  AppendFixed(row.u, 3, " ", out);
  AppendFixed(row.residual, 6, " ", out);
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, row.n);
  AppendField(digits, result.ptr, "\r\n", out);
}

ResidualTableWriter::ResidualTableWriter(const std::string& output_path) : file_(output_path) {
  buffer_.reserve(kFlushSize + 1024);
}

void ResidualTableWriter::WriteHeader() {
  buffer_.append(kResidualTableHeader);
  buffer_.append("\r\n");
}

void ResidualTableWriter::WriteRow(const TableRow& row) {
  AppendTableRow(row, buffer_);
  FlushIfFull();
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
  return file_.Commit();
}

}  // namespace torvane
