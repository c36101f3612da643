#include "app/cli/BatchConfig.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <filesystem>

#include "app/MemoryPlatform.h"
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

bool ReadBatchFields(const std::optional<std::string>& config, char decimal_separator,
                     BatchFields& fields) {
  // The fields as a window without a screen holds them.
  MemoryPlatform window(decimal_separator);
  if (config) {
    const std::string& path = *config;
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
    ShowSettings(window, record);
  }
  fields.input = window.Text(Control::txt_in);
  fields.output = window.Text(Control::txt_out);
  fields.radius = window.Text(Control::txt_rfs);
  fields.band = window.Text(Control::txt_rfa);
  fields.gridding = window.Text(Control::txt_nearest);
  fields.columns = {window.ItemIndex(Control::cmb_gx), window.ItemIndex(Control::cmb_gy),
                    window.ItemIndex(Control::cmb_point), window.ItemIndex(Control::cmb_uba)};
  fields.use_grid = window.Checked(Control::chb_grd);
  fields.grid = window.Text(Control::txt_grd);
  fields.ring_points = window.Text(Control::txt_n);
  fields.interpolated_cba = window.Checked(Control::chb_interpol);
  fields.previews = window.Checked(Control::cb_preview);
  return true;
}

}  // namespace torvane
