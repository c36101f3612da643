#include "common/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "common/BusErrorGuard.h"

namespace torvane {
namespace {

std::int64_t ModifiedNs(const struct stat& info) {
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

MappedFile::~MappedFile() { Close(); }

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      fd_(std::exchange(other.fd_, -1)),
      guard_(std::exchange(other.guard_, -1)),
      modified_ns_(other.modified_ns_) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Close();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    fd_ = std::exchange(other.fd_, -1);
    guard_ = std::exchange(other.guard_, -1);
    modified_ns_ = other.modified_ns_;
  }
  return *this;
}

void MappedFile::Close() {
  UnguardMappedRange(guard_);
  guard_ = -1;
  if (data_ != nullptr) munmap(const_cast<unsigned char*>(data_), size_);
  if (fd_ >= 0) close(fd_);
  data_ = nullptr;
  size_ = 0;
  fd_ = -1;
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
  error_ = 0;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error_ = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    close(fd);
    return false;
  }
  fd_ = fd;
  modified_ns_ = ModifiedNs(info);
  if (info.st_size == 0) return true;
  void* mapped = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  if (mapped == MAP_FAILED) {
    error_ = errno;
    Close();
    return false;
  }
  data_ = static_cast<const unsigned char*>(mapped);
  size_ = static_cast<std::size_t>(info.st_size);
  guard_ = GuardMappedRange(data_, size_);
  return true;
}

bool MappedFile::Unchanged() const {
  if (fd_ < 0) return true;
  struct stat info {};
  return !MappedRangeCutShort(guard_) && fstat(fd_, &info) == 0 &&
         static_cast<std::uint64_t>(info.st_size) == size_ && ModifiedNs(info) == modified_ns_;
}

}  // namespace torvane
