#include "app/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/ControlDefaults.h"
#include "common/AtomicFile.h"
#include "common/DecimalNumber.h"

namespace torvane {
namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The user's home folder: $HOME, or the password database's entry when it
// is not set.
std::string HomeFolder(std::string_view home) {
  if (!home.empty()) return std::string(home);
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

std::string SettingsFilePath(const std::string& executable_path) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return SettingsFilePath(executable_path, xdg != nullptr ? xdg : "", home != nullptr ? home : "");
}

std::string SettingsFilePath(const std::string& executable_path, std::string_view xdg_config_home,
                             std::string_view home) {
  fs::path beside = fs::path(executable_path).replace_extension(".cfg");
  std::error_code error;
  if (!executable_path.empty() && fs::exists(beside, error)) return beside.string();
  // The XDG rule: a relative $XDG_CONFIG_HOME is ignored.
  fs::path folder = fs::path(xdg_config_home);
  if (xdg_config_home.empty() || !folder.is_absolute()) {
    folder = fs::path(HomeFolder(home)) / ".config";
  }
  return (folder / "torvane" / "torvane.cfg").string();
}

SettingsReadResult ReadSettingsFile(const std::string& path, SettingsRecord& record) {
  record = SettingsRecord{};
  std::error_code error;
  if (!fs::exists(path, error)) return SettingsReadResult::kMissing;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return SettingsReadResult::kUnreadable;
  SettingsRecord::Bytes& bytes = record.bytes();
  std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) {
    record = SettingsRecord{};
    return SettingsReadResult::kUnreadable;
  }
  return SettingsReadResult::kRead;
}

bool WriteSettingsFile(const std::string& path, const SettingsRecord& record) {
  const fs::path folder = fs::path(path).parent_path();
  std::error_code ignored;
  if (!folder.empty()) fs::create_directories(folder, ignored);
  AtomicFile file(path);
  return file.ok() && file.Write(record.bytes().data(), record.bytes().size()) && file.Commit();
}

std::string FormatStoredNumber(double value, char decimal_separator) {
  char text[32];
  std::to_chars_result written =
      std::to_chars(std::begin(text), std::end(text), value, std::chars_format::general, 15);
  // Within a part in 1e15 of the largest double, 15 digits round beyond it
  // and would read back as no number at all: such a value gets the digits
  // that read back as itself.
  double read_back = 0;
  if (written.ec == std::errc() && std::isfinite(value) &&
      std::from_chars(text, written.ptr, read_back).ec == std::errc::result_out_of_range) {
    written = std::to_chars(std::begin(text), std::end(text), value);
  }
  std::string result(text, written.ec == std::errc() ? written.ptr : text);
  for (char& c : result) {
    if (c == '.') c = decimal_separator;
  }
  return result;
}

void ShowSettings(Platform& platform, const SettingsRecord& record) {
  for (const SettingsField& field : SettingsFields()) {
    switch (field.kind) {
      case SettingsFieldKind::kText:
        platform.SetText(field.control, record.Text(field.offset));
        break;
      case SettingsFieldKind::kDecimal:
        platform.SetText(field.control, FormatStoredNumber(record.Decimal(field.offset),
                                                           platform.DecimalSeparator()));
        break;
      case SettingsFieldKind::kFlag:
        platform.SetChecked(field.control, record.Flag(field.offset));
        break;
      case SettingsFieldKind::kItem: {
        const int index = record.Integer(field.offset);
        const bool listed = index >= 0 && index < static_cast<int>(ItemsOf(field.control).size());
        platform.SetItemIndex(field.control, listed ? index : DefaultOf(field.control).item_index);
        break;
      }
      case SettingsFieldKind::kWhole:
        platform.SetText(field.control, std::to_string(record.Integer(field.offset)));
        break;
    }
  }
}

bool TakeSettings(Platform& platform, SettingsRecord& record) {
  for (const SettingsField& field : SettingsFields()) {
    switch (field.kind) {
      case SettingsFieldKind::kText:
        // A path too long for its field is stored empty; the others stay valid.
        record.SetText(field.offset, platform.Text(field.control));
        break;
      case SettingsFieldKind::kDecimal: {
        double value = 0;
        if (!ParseTypedDecimal(platform.Text(field.control), platform.DecimalSeparator(), value)) {
          return false;
        }
        record.SetDecimal(field.offset, value);
        break;
      }
      case SettingsFieldKind::kFlag:
        record.SetFlag(field.offset, platform.Checked(field.control));
        break;
      case SettingsFieldKind::kItem:
        record.SetInteger(field.offset, platform.ItemIndex(field.control));
        break;
      case SettingsFieldKind::kWhole: {
        int value = 0;
        if (!ParseWholeNumber(platform.Text(field.control), value)) return false;
        record.SetInteger(field.offset, value);
        break;
      }
    }
  }
  return true;
}

}  // namespace torvane
