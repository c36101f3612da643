#pragma once
// A whole file mapped read-only into memory: the bytes are read from the disk
// only when they are touched, so a file far larger than the memory at hand
// can be read anywhere, at 64-bit offsets, without loading it. The mapping
// ends with the object.

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

 private:
  void Close();

  const unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace torvane
