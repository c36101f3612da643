#include "tests/SmallDisk.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace torvane::testing {
namespace {

// A mount namespace of the process's own, whose mounts do not reach the
// rest of the machine. Made before main, while the process has only one
// thread: a namespace belongs to a thread, and the threads started later
// (and the programs the tests start) take it from this one.
const bool g_private_mounts =
    unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;

std::string SizeOption(std::size_t bytes) { return "size=" + std::to_string(bytes); }

}  // namespace

SmallDisk::SmallDisk(std::string folder, std::size_t bytes)
    : folder_(std::move(folder)), bytes_(bytes) {
  mounted_ = g_private_mounts &&
             mount("tmpfs", folder_.c_str(), "tmpfs", 0, SizeOption(bytes_).c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

void SmallDisk::Fill() {
  const int fd = open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create the filler");
  const std::vector<char> block(4096, 'f');
  std::size_t size = block.size();
  while (size > 0) {
    if (write(fd, block.data(), size) <= 0) size /= 2;  // the last pieces of room
  }
  close(fd);
}

void SmallDisk::MakeReadOnly() {
  if (mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY,
            SizeOption(bytes_).c_str()) != 0) {
    throw std::runtime_error("cannot make " + folder_ + " read-only");
  }
}

}  // namespace torvane::testing
