#pragma once
// A whole input file read into one contiguous buffer, so that a reader can
// pass over it as often as it needs without touching the disk again.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace torvane {

enum class FileReadResult { kOk, kCannotOpen, kReadError, kOutOfMemory };

class FileBuffer {
 public:
  FileReadResult Load(const std::string& path);
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
};

}  // namespace torvane
