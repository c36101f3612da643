#include "app/cli/BatchConfig.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <filesystem>

#include "app/SettingsFile.h"
#include "app/cli/CliMessages.h"

namespace torvane {
namespace {

// The system's reason why a file that exists cannot be read.
std::string UnreadableReason(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat info {};
  const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  ::close(fd);
  return std::strerror(folder ? EISDIR : EIO);
}

}  // namespace

bool ApplyConfigFile(const std::string& path, Platform& platform) {
  SettingsRecord record;
  const SettingsReadResult read = ReadSettingsFile(path, record);
  std::string problem;
  std::error_code error;
  if (read == SettingsReadResult::kMissing) {
    problem = "no such file";
  } else if (read == SettingsReadResult::kUnreadable) {
    problem = "cannot be read: " + UnreadableReason(path);
  } else if (std::filesystem::file_size(path, error) != kSettingsRecordSize || error) {
    // The window reads any file, but a batch run must not guess from a file
    // that was named by mistake.
    problem = "not a settings file (it must be 820 bytes long)";
  }
  if (!problem.empty()) {
    UsageError("--config " + path + ": " + problem);
    return false;
  }
  ShowSettings(platform, record);
  return true;
}

}  // namespace torvane
