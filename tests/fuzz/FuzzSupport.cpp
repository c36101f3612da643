#include "tests/fuzz/FuzzSupport.h"

#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace torvane::fuzzing {

InputFile::InputFile() {
  fd_ = memfd_create("torvane-fuzz-input", MFD_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("memfd_create failed");
  path_ = "/proc/self/fd/" + std::to_string(fd_);
}

InputFile::~InputFile() { close(fd_); }

const std::string& InputFile::Hold(Bytes bytes) {
  if (ftruncate(fd_, 0) != 0) throw std::runtime_error("cannot empty the input file");
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = pwrite(fd_, bytes.data() + written, bytes.size() - written,
                             static_cast<off_t>(written));
    if (n <= 0) throw std::runtime_error("cannot write the input file");
    written += static_cast<std::size_t>(n);
  }
  return path_;
}

CountingPlatform::CountingPlatform(char decimal_separator, std::uint64_t available_memory)
    : MemoryPlatform(decimal_separator) {
  set_available_memory(available_memory);
}

void CountingPlatform::ShowInfo(std::string_view) { ++messages; }

MessageResult CountingPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                            MessageButtons buttons) {
  ++messages;
  return MemoryPlatform::ShowMessage(text, caption, buttons);
}

ScratchFolder::ScratchFolder() {
  const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                : std::filesystem::temp_directory_path();
  std::string pattern = (base / "torvane-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace torvane::fuzzing
