#include "app/cli/BatchConfig.h"

#include <cstdio>
#include <filesystem>

#include "app/SettingsFile.h"
#include "app/cli/CliMessages.h"

namespace torvane {

bool ApplyConfigFile(const std::string& path, Platform& platform) {
  SettingsRecord record;
  const SettingsReadResult read = ReadSettingsFile(path, record);
  const char* problem = nullptr;
  std::error_code error;
  if (read == SettingsReadResult::kMissing) {
    problem = "no such file";
  } else if (read == SettingsReadResult::kUnreadable) {
    problem = "cannot be read";
  } else if (std::filesystem::file_size(path, error) != kSettingsRecordSize || error) {
    // The window reads any file, but a batch run must not guess from a file
    // that was named by mistake.
    problem = "not a settings file (it must be 820 bytes long)";
  }
  if (problem != nullptr) {
    UsageError("--config " + path + ": " + problem);
    return false;
  }
  ShowSettings(platform, record);
  return true;
}

}  // namespace torvane
