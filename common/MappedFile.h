#pragma once
// A whole file mapped read-only into memory: the bytes are read from the disk
// only when they are touched, so a file far larger than the memory at hand
// can be read anywhere, at 64-bit offsets, without loading it. The mapping
// ends with the object.
//
// Another program may cut the file short while it is mapped: reading past
// its new end then gives zero bytes instead of ending the process (see
// BusErrorGuard.h), and Unchanged() tells the reader to drop what it read.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the file at `path`, replacing what was mapped before. False when it
  // cannot be opened or mapped (missing, a folder, no permission, not a
  // regular file). An empty file maps to no bytes.
  bool Open(const std::string& path);

  std::span<const unsigned char> bytes() const { return {data_, size_}; }
  std::string_view text() const { return {reinterpret_cast<const char*>(data_), size_}; }
  std::uint64_t size() const { return size_; }

  // Gives back the memory of the whole pages within bytes [begin, end) that
  // have been read: the system may reuse it at once. Reading them again
  // reads the file again. For a reader that passes over a file once.
  void Release(std::uint64_t begin, std::uint64_t end) const;

  // False once the file has changed since it was mapped: cut short, grown,
  // or written to. What was read from the mapping may then be wrong.
  bool Unchanged() const;

  // Why the last Open failed: the system's error number (errno).
  int error() const { return error_; }

 private:
  void Close();

  const unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
  int fd_ = -1;     // kept open to see whether the file changes
  int guard_ = -1;  // the mapping's place in the bus error guard
  std::int64_t modified_ns_ = 0;
  int error_ = 0;
};

}  // namespace torvane
