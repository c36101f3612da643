#include "common/FileBuffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace torvane {
namespace {

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

FileReadResult FileBuffer::Load(const std::string& path) {
  data_.reset();
  size_ = 0;
  const FdCloser file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return FileReadResult::kCannotOpen;
  struct stat info {};
  if (fstat(file.fd, &info) != 0) return FileReadResult::kReadError;
  if (S_ISDIR(info.st_mode)) return FileReadResult::kCannotOpen;

  // Regular files are read in one piece of their size; anything else (a pipe)
  // grows its buffer until the end of the stream.
  std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  if (capacity == 0) capacity = 1 << 16;
  try {
    data_.reset(new char[capacity]);
    for (;;) {
      if (size_ == capacity) {
        std::unique_ptr<char[]> larger(new char[capacity * 2]);
        std::memcpy(larger.get(), data_.get(), size_);
        data_ = std::move(larger);
        capacity *= 2;
      }
      const ssize_t got = read(file.fd, data_.get() + size_, capacity - size_);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        data_.reset();
        size_ = 0;
        return FileReadResult::kReadError;
      }
      if (got == 0) break;
      size_ += static_cast<std::size_t>(got);
    }
  } catch (const std::bad_alloc&) {
    data_.reset();
    size_ = 0;
    return FileReadResult::kOutOfMemory;
  }
  return FileReadResult::kOk;
}

}  // namespace torvane
