#include "common/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace torvane {

MappedFile::~MappedFile() { Close(); }

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Close();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void MappedFile::Close() {
  if (data_ != nullptr) munmap(const_cast<unsigned char*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

void MappedFile::Release(std::uint64_t begin, std::uint64_t end) const {
  const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  begin = (begin + page - 1) / page * page;
  end = std::min<std::uint64_t>(end, size_) / page * page;
  if (data_ == nullptr || begin >= end) return;
  // A private mapping of a file read only: dropped pages come back from the
  // file unchanged.
  (void)madvise(const_cast<unsigned char*>(data_) + begin, end - begin, MADV_DONTNEED);
}

bool MappedFile::Open(const std::string& path) {
  Close();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (!regular || info.st_size == 0) {
    close(fd);
    return regular;
  }
  void* mapped = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  // The mapping holds the file on its own; the descriptor is not needed.
  close(fd);
  if (mapped == MAP_FAILED) return false;
  data_ = static_cast<const unsigned char*>(mapped);
  size_ = static_cast<std::size_t>(info.st_size);
  return true;
}

}  // namespace torvane
