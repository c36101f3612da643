#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

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

  const std::string prefix = FolderPrefix(target_) + "." + BaseName(target_) + ".tmp-" +
                             std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_path_ = prefix + std::to_string(g_temp_counter.fetch_add(1));
    fd_ = open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
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

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : ENOSPC;
      Abandon();
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  if (standard_output_) {
    const bool closed = close(fd_) == 0;
    if (!closed) error_ = errno;
    fd_ = -1;
    return closed;
  }
  const bool flushed = fsync(fd_) == 0;
  if (!flushed) error_ = errno;
  const bool closed = close(fd_) == 0;
  if (flushed && !closed) error_ = errno;
  fd_ = -1;
  const bool renamed = flushed && closed && rename(temp_path_.c_str(), target_.c_str()) == 0;
  if (flushed && closed && !renamed) error_ = errno;
  if (!renamed) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
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
}

}  // namespace torvane
