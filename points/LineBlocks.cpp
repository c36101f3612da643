#include "points/LineBlocks.h"

#include "common/FileErrorLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace torvane {
namespace {

constexpr std::size_t kBlockSize = std::size_t{4} << 20;

// The position just after the last line feed of [data, data + size), or 0.
std::size_t AfterLastLineFeed(const char* data, std::size_t size) {
  for (std::size_t i = size; i > 0; --i) {
    if (data[i - 1] == '\n') return i;
  }
  return 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// A copy of standard input in an unnamed temporary file, which the reader
// can walk twice as it walks a file; -1 (errno set) when that fails.
int SpoolStandardInput() {
  const char* folder = std::getenv("TMPDIR");
  std::string name = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                     "/torvane-stdin-XXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  unlink(name.c_str());
  const auto fail = [fd] {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  };
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBlockSize]);
  if (!buffer) {
    errno = ENOMEM;
    return fail();
  }
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer.get(), kBlockSize);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return fail();
    if (got == 0) break;
    if (!WriteAll(fd, buffer.get(), static_cast<std::size_t>(got))) return fail();
  }
  if (lseek(fd, 0, SEEK_SET) != 0) return fail();
  return fd;
}

}  // namespace

LineBlocks::~LineBlocks() {
  if (fd_ >= 0) close(fd_);
}

FileReadResult LineBlocks::Open(const std::string& path) {
  fd_ = path == "-" ? SpoolStandardInput() : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    return FileReadResult::kCannotOpen;
  }
  struct stat info {};
  if (fstat(fd_, &info) != 0) {
    error_ = errno;
    return FileReadResult::kCannotOpen;
  }
  if (S_ISDIR(info.st_mode)) {
    error_ = EISDIR;
    return FileReadResult::kCannotOpen;
  }
  // A file smaller than a block takes a buffer one byte larger than itself,
  // which meets its end in the first read.
  first_capacity_ = kBlockSize;
  if (S_ISREG(info.st_mode) && info.st_size >= 0 &&
      static_cast<std::uint64_t>(info.st_size) < kBlockSize) {
    first_capacity_ = static_cast<std::size_t>(info.st_size) + 1;
  }
  buffer_.reset(new (std::nothrow) char[first_capacity_]);
  if (!buffer_) return FileReadResult::kOutOfMemory;
  capacity_ = first_capacity_;
  return FileReadResult::kOk;
}

bool LineBlocks::Rewind() {
  // Back to the first block size too, so that a second walk over an
  // unchanged file meets exactly the blocks of the first.
  if (capacity_ != first_capacity_) {
    buffer_.reset(new char[first_capacity_]);
    capacity_ = first_capacity_;
  }
  begin_ = end_ = 0;
  at_end_ = false;
  at_start_ = true;
  return lseek(fd_, 0, SEEK_SET) == 0;
}

// Moves the unread rest to the front and reads behind it until the buffer is
// full or the file ends; a buffer full of one unfinished line is doubled.
bool LineBlocks::Fill() {
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  if (end_ == capacity_) {
    std::unique_ptr<char[]> larger(new char[capacity_ * 2]);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ *= 2;
  }
  while (end_ < capacity_) {
    const ssize_t got = read(fd_, buffer_.get() + end_, capacity_ - end_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error_ = errno;
      return false;
    }
    if (got == 0) {
      at_end_ = true;
      break;
    }
    end_ += static_cast<std::size_t>(got);
  }
  return true;
}

// Called once the buffer holds the file's first three bytes, or all of a
// shorter file.
void LineBlocks::SkipByteOrderMark() {
  at_start_ = false;
  static constexpr char kMark[] = {'\xef', '\xbb', '\xbf'};
  if (end_ - begin_ >= sizeof kMark &&
      std::memcmp(buffer_.get() + begin_, kMark, sizeof kMark) == 0) {
    begin_ += sizeof kMark;
  }
}

// True when [data, data + size) holds a line longer than kMostLineBytes.
bool HoldsLongLine(const char* data, std::size_t size) {
  const char* end = data + size;
  // Every line within a window of kMostLineBytes + 1 bytes that holds a line
  // feed is short enough; the next window starts after its last one.
  while (static_cast<std::size_t>(end - data) > kMostLineBytes) {
    const void* feed = memrchr(data, '\n', kMostLineBytes + 1);
    if (feed == nullptr) return true;
    data = static_cast<const char*>(feed) + 1;
  }
  return false;
}

bool LineBlocks::Next(std::string_view& block) {
  for (;;) {
    if (at_start_ && (end_ - begin_ >= 3 || at_end_)) SkipByteOrderMark();
    // A first line shorter than the mark cannot begin with it.
    if (at_start_ && std::memchr(buffer_.get() + begin_, '\n', end_ - begin_) != nullptr) {
      at_start_ = false;
    }
    const std::size_t whole = at_end_ ? end_ - begin_
                                      : AfterLastLineFeed(buffer_.get() + begin_, end_ - begin_);
    // A line longer than any line of points (a binary file, /dev/zero) is
    // refused before the buffer grows for it.
    if ((whole == 0 && end_ - begin_ > kMostLineBytes) ||
        HoldsLongLine(buffer_.get() + begin_, whole)) {
      error_ = kLineTooLong;
      return false;
    }
    if (whole > 0 || at_end_) {
      block = {buffer_.get() + begin_, whole};
      begin_ += whole;
      return true;
    }
    if (!Fill()) return false;
  }
}

bool OpenPointFile(Reporter& platform, const std::string& path, LineBlocks& file) {
  switch (file.Open(path)) {
    case FileReadResult::kOk:
      return true;
    case FileReadResult::kOutOfMemory:
      platform.ShowInfo("Error by allocating memory for data");
      return false;
    case FileReadResult::kCannotOpen:
    case FileReadResult::kReadError:
      break;
  }
  platform.ShowFileError("Cannot open input data file", path, file.error());
  return false;
}

}  // namespace torvane
