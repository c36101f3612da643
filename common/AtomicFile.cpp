#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "common/Interruption.h"

namespace torvane {
namespace {

std::atomic<unsigned> g_temp_counter{0};

// Follows a symbolic link so that the file it names is replaced, as writing
// through the link would, instead of the link itself.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string FolderPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest file name the folder takes (255 on the usual file systems).
std::size_t LongestName(const std::string& folder) {
  const long most = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  return most > 0 ? static_cast<std::size_t>(most) : 255;
}

// "." + the target's name + ".tmp-PID-", with the target's name cut short
// (never inside a UTF-8 character) so that the temporary name, counter
// included, is no longer than any name the folder takes.
std::string TemporaryPrefix(const std::string& target) {
  const std::string folder = FolderPrefix(target);
  std::string base = BaseName(target);
  const std::string tail = ".tmp-" + std::to_string(getpid()) + "-";
  constexpr std::size_t kCounterRoom = 10;  // the counter's digits
  const std::size_t most = LongestName(folder);
  const std::size_t fixed = 1 + tail.size() + kCounterRoom;
  if (fixed + base.size() > most) {
    std::size_t keep = most > fixed ? most - fixed : 0;
    while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xc0) == 0x80) --keep;
    base.resize(keep);
  }
  return folder + "." + base + tail;
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(ResolveLink(target)) {
  if (IsStandardOutput(target_)) {
    standard_output_ = true;
    fd_ = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) error_ = errno;
    return;
  }
  if (target_.empty() || target_.back() == '/') {
    error_ = target_.empty() ? ENOENT : EISDIR;
    return;
  }
  struct stat existing {};
  const bool exists = stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    error_ = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
    return;
  }
  if (exists && access(target_.c_str(), W_OK) != 0) {
    error_ = errno;
    return;
  }

  const std::string prefix = TemporaryPrefix(target_);
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_path_ = prefix + std::to_string(g_temp_counter.fetch_add(1));
    // Listed before it exists, so that an interruption never misses it.
    listed_ = ListTemporary(temp_path_.c_str());
    fd_ = open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      const int reason = errno;
      Unlist();
      errno = reason;
      if (reason != EEXIST) break;
    }
  }
  if (fd_ < 0) {
    error_ = errno;
    temp_path_.clear();
    return;
  }
  // A replaced file keeps its permissions.
  if (exists) (void)fchmod(fd_, existing.st_mode & 07777);
}

AtomicFile::~AtomicFile() { Abandon(); }

long AtomicFile::WriteOnce(const char* bytes, std::size_t size, bool direct) {
  if (direct != direct_on_) {
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0 || fcntl(fd_, F_SETFL, direct ? flags | O_DIRECT : flags & ~O_DIRECT) != 0) {
      if (direct) {  // declined: the usual way from now on
        direct_wished_ = false;
        return WriteOnce(bytes, size, false);
      }
      return -1;
    }
    direct_on_ = direct;
  }
  const ssize_t written = ::write(fd_, bytes, size);
  if (written < 0 && direct && errno == EINVAL) {  // the file system takes no direct writes
    direct_wished_ = false;
    return WriteOnce(bytes, size, false);
  }
  return written;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0 || completed_) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const bool aligned = reinterpret_cast<std::uintptr_t>(bytes) % kDirectBlock == 0 &&
                         offset_ % kDirectBlock == 0;
    const bool direct = direct_wished_ && aligned && size >= kDirectBlock;
    const ssize_t written =
        WriteOnce(bytes, direct ? size / kDirectBlock * kDirectBlock : size, direct);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : ENOSPC;
      Abandon();
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
    offset_ += static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFile::Complete() {
  if (completed_) return true;
  if (fd_ < 0) return false;
  if (standard_output_) {
    const bool closed = close(fd_) == 0;
    if (!closed) error_ = errno;
    fd_ = -1;
    completed_ = closed;
    return closed;
  }
  const bool flushed = fsync(fd_) == 0;
  if (!flushed) error_ = errno;
  const bool closed = close(fd_) == 0;
  if (flushed && !closed) error_ = errno;
  fd_ = -1;
  if (!flushed || !closed) {
    Abandon();
    return false;
  }
  completed_ = true;
  return true;
}

bool AtomicFile::Commit() {
  if (!Complete()) return false;
  if (standard_output_) {  // written where it goes: nothing to rename
    completed_ = false;
    return true;
  }
  if (rename(temp_path_.c_str(), target_.c_str()) != 0) {
    error_ = errno;
    Abandon();
    return false;
  }
  Unlist();
  temp_path_.clear();
  completed_ = false;
  return true;
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
  Unlist();
  completed_ = false;
}

void AtomicFile::Unlist() {
  ForgetTemporary(listed_);
  listed_ = -1;
}

AtomicFile* CommitTogether(std::span<AtomicFile* const> files) {
  AtomicFile* failed = nullptr;
  for (AtomicFile* file : files) {
    if (!file->Complete()) {
      failed = file;
      break;
    }
  }
  const InterruptHold hold;
  for (AtomicFile* file : files) {
    if (failed == nullptr && !file->Commit()) failed = file;
    if (failed != nullptr) file->Abandon();
  }
  return failed;
}

}  // namespace torvane
