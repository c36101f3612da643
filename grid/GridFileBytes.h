#pragma once
// The bytes of a grid file on their way to disk: little-endian numbers and
// text gathered in a buffer and handed to an AtomicFile a megabyte at a
// time, so the file is replaced whole or not at all.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/AtomicFile.h"

namespace torvane {

class GridFileBytes {
 public:
  explicit GridFileBytes(const std::string& path);

  // False when the temporary file could not be made (see AtomicFile).
  bool ok() const { return file_.ok(); }
  // The temporary file, for a library that writes a file by its name (GDAL):
  // what lies there when Commit is called becomes the target.
  const std::string& temp_path() const { return file_.temp_path(); }
  // Why creating, writing or renaming failed: errno, 0 when nothing did.
  int error() const { return file_.error(); }

  void Int16(std::int16_t value) { Bits(static_cast<std::uint16_t>(value), 2); }
  void Int32(std::int32_t value) { Bits(static_cast<std::uint32_t>(value), 4); }
  void Float(float value);
  void Double(double value);
  void Text(std::string_view text);
  // The shortest decimal text ('.' as separator) that reads back as the
  // same number.
  void Number(double value);
  void Number(float value);
  // Zero bytes up to `size` bytes written in all.
  void PadTo(std::uint64_t size);

  // Writes what is left and renames over the target; false when any write
  // failed, and then the target is as it was.
  bool Commit();
  // Writes what is left, for a file put in place with others
  // (CommitTogether on file()); false when any write failed.
  bool Finish();
  AtomicFile& file() { return file_; }

 private:
  void Bits(std::uint64_t bits, int bytes) {
    for (int i = 0; i < bytes; ++i) buffer_.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
    if (buffer_.size() >= kFlushSize) Flush();
  }
  void Flush();

  static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
  AtomicFile file_;
  std::string buffer_;
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

}  // namespace torvane
