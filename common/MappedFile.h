#pragma once
// A whole file mapped read-only into memory: the bytes are read from the disk
// only when they are touched, so a file far larger than the memory at hand
// can be read anywhere, at 64-bit offsets, without loading it. The mapping
// ends with the object.
//
// When the system will not map the file (an address-space limit, a file
// system that cannot map), it is read instead: bytes() then holds its first
// megabyte only, ReadWhole reads the rest into memory for a reader that
// needs it all, and Bytes reads any part where it lies, with pread, through
// the same call that finds it in a mapping.
//
// Another program may cut the file short while it is mapped: reading past
// its new end then gives zero bytes instead of ending the process (see
// BusErrorGuard.h), and Unchanged() tells the reader to drop what it read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  enum class Access {
    kMapOrRead,  // mapped, or read when the system will not map it
    kRead,       // read, never mapped
  };

  // Opens the file at `path`, replacing what was opened before: mapped, or
  // read (see above). False when it cannot be opened (missing, a folder, no
  // permission, not a regular file). An empty file maps to no bytes.
  bool Open(const std::string& path, Access access = Access::kMapOrRead);

  // The whole file when mapped (or read whole); otherwise its first bytes.
  std::span<const unsigned char> bytes() const { return {data_, available_}; }
  std::string_view text() const { return {reinterpret_cast<const char*>(data_), available_}; }
  // The file's size, whether bytes() holds all of it or not.
  std::uint64_t size() const { return size_; }
  bool whole() const { return available_ == size_; }
  bool mapped() const { return mapped_; }
  // Reads the rest of a file that is not mapped into memory, so that
  // bytes() holds all of it. False, with error(), when the memory cannot be
  // had or the file cannot be read.
  bool ReadWhole();

  // The bytes [offset, offset + length) of the file: where they lie in
  // memory, or read from the file into `buffer` (at least `length` bytes).
  // Null when they are not all within the file or cannot be read.
  const unsigned char* Bytes(std::uint64_t offset, std::size_t length,
                             unsigned char* buffer) const {
    if (offset > size_ || length > size_ - offset) return nullptr;
    if (offset + length <= available_) return data_ + offset;
    return ReadAt(offset, length, buffer) == 0 ? buffer : nullptr;
  }

  // Gives back the memory of the whole pages within bytes [begin, end) that
  // have been read: the system may reuse it at once. Reading them again
  // reads the file again. For a reader that passes over a file once.
  void Release(std::uint64_t begin, std::uint64_t end) const;

  // False once the file has changed since it was mapped: cut short, grown,
  // or written to. What was read from the mapping may then be wrong.
  bool Unchanged() const;

  // Why the last Open or ReadWhole failed: the system's error number (errno).
  int error() const { return error_; }

 private:
  void Close();
  // 0, or the errno of a read that failed (EIO: the file ended early).
  int ReadAt(std::uint64_t offset, std::size_t length, unsigned char* buffer) const;

  const unsigned char* data_ = nullptr;  // the mapping, or read_.data()
  std::uint64_t size_ = 0;
  std::size_t available_ = 0;  // the bytes at data_
  bool mapped_ = false;
  std::vector<unsigned char> read_;  // what was read of a file that is not mapped
  int fd_ = -1;     // kept open to see whether the file changes
  int guard_ = -1;  // the mapping's place in the bus error guard
  std::int64_t modified_ns_ = 0;
  int error_ = 0;
};

}  // namespace torvane
