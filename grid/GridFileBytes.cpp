#include "grid/GridFileBytes.h"

#include <bit>

#include "common/ShortestText.h"

namespace torvane {

GridFileBytes::GridFileBytes(const std::string& path) : file_(path) {
  buffer_.reserve(kFlushSize + 64);
}

void GridFileBytes::Float(float value) { Bits(std::bit_cast<std::uint32_t>(value), 4); }

void GridFileBytes::Double(double value) { Bits(std::bit_cast<std::uint64_t>(value), 8); }

void GridFileBytes::Text(std::string_view text) {
  buffer_ += text;
  if (buffer_.size() >= kFlushSize) Flush();
}

void GridFileBytes::Number(double value) {
  AppendShortest(value, buffer_);
  if (buffer_.size() >= kFlushSize) Flush();
}

void GridFileBytes::Number(float value) {
  AppendShortest(value, buffer_);
  if (buffer_.size() >= kFlushSize) Flush();
}

void GridFileBytes::PadTo(std::uint64_t size) {
  const std::uint64_t at = written_ + buffer_.size();
  if (size > at) buffer_.append(static_cast<std::size_t>(size - at), '\0');
}

void GridFileBytes::Flush() {
  if (!failed_ && !file_.Write(buffer_.data(), buffer_.size())) failed_ = true;
  written_ += buffer_.size();
  buffer_.clear();
}

bool GridFileBytes::Commit() { return Finish() && file_.Commit(); }

bool GridFileBytes::Finish() {
  Flush();
  return !failed_;
}

}  // namespace torvane
