#include "common/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <utility>

#include "common/BusErrorGuard.h"

namespace torvane {
namespace {

std::int64_t ModifiedNs(const struct stat& info) {
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// What a file that is not mapped holds in memory from its start: every
// header the grid readers know, with room to spare.
constexpr std::uint64_t kHeadBytes = std::uint64_t{1} << 20;

}  // namespace

MappedFile::~MappedFile() { Close(); }

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Close();
    // A vector moved keeps its buffer, so data_ stays valid.
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    available_ = std::exchange(other.available_, 0);
    mapped_ = std::exchange(other.mapped_, false);
    read_ = std::move(other.read_);
    other.read_.clear();
    fd_ = std::exchange(other.fd_, -1);
    guard_ = std::exchange(other.guard_, -1);
    modified_ns_ = other.modified_ns_;
    error_ = other.error_;
  }
  return *this;
}

void MappedFile::Close() {
  UnguardMappedRange(guard_);
  guard_ = -1;
  if (mapped_) munmap(const_cast<unsigned char*>(data_), static_cast<std::size_t>(size_));
  if (fd_ >= 0) close(fd_);
  read_ = {};
  data_ = nullptr;
  size_ = 0;
  available_ = 0;
  mapped_ = false;
  fd_ = -1;
}

void MappedFile::Release(std::uint64_t begin, std::uint64_t end) const {
  const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  begin = (begin + page - 1) / page * page;
  end = std::min<std::uint64_t>(end, size_) / page * page;
  if (!mapped_ || begin >= end) return;
  // A private mapping of a file read only: dropped pages come back from the
  // file unchanged.
  (void)madvise(const_cast<unsigned char*>(data_) + begin, end - begin, MADV_DONTNEED);
}

bool MappedFile::Open(const std::string& path, Access access) {
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
  size_ = static_cast<std::uint64_t>(info.st_size);
  if (size_ == 0) return true;
  void* mapped = access == Access::kMapOrRead && size_ <= SIZE_MAX
                     ? mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ, MAP_PRIVATE, fd, 0)
                     : MAP_FAILED;
  if (mapped != MAP_FAILED) {
    data_ = static_cast<const unsigned char*>(mapped);
    available_ = static_cast<std::size_t>(size_);
    mapped_ = true;
    guard_ = GuardMappedRange(data_, available_);
    return true;
  }
  // Not mapped: its head is read now, the rest where it is needed.
  try {
    read_.resize(static_cast<std::size_t>(std::min(size_, kHeadBytes)));
  } catch (const std::bad_alloc&) {
    error_ = ENOMEM;
    Close();
    return false;
  }
  error_ = ReadAt(0, read_.size(), read_.data());
  if (error_ != 0) {
    Close();
    return false;
  }
  data_ = read_.data();
  available_ = read_.size();
  return true;
}

int MappedFile::ReadAt(std::uint64_t offset, std::size_t length, unsigned char* buffer) const {
  while (length > 0) {
    const ssize_t got = pread(fd_, buffer, length, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    // At an end before the size: another program cut the file short.
    if (got <= 0) return got < 0 ? errno : EIO;
    buffer += got;
    offset += static_cast<std::uint64_t>(got);
    length -= static_cast<std::size_t>(got);
  }
  return 0;
}

bool MappedFile::ReadWhole() {
  if (whole()) return true;
  const std::size_t had = read_.size();
  try {
    if (size_ > SIZE_MAX) throw std::bad_alloc();
    read_.resize(static_cast<std::size_t>(size_));
  } catch (const std::bad_alloc&) {
    error_ = ENOMEM;
    return false;
  }
  data_ = read_.data();
  error_ = ReadAt(had, read_.size() - had, read_.data() + had);
  if (error_ != 0) {
    read_.resize(had);
    data_ = read_.data();
    return false;
  }
  available_ = read_.size();
  return true;
}

bool MappedFile::Unchanged() const {
  if (fd_ < 0) return true;
  struct stat info {};
  return !MappedRangeCutShort(guard_) && fstat(fd_, &info) == 0 &&
         static_cast<std::uint64_t>(info.st_size) == size_ && ModifiedNs(info) == modified_ns_;
}

}  // namespace torvane
