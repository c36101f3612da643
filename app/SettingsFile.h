#pragma once
// The settings file on disk and its exchange with the window's controls.

#include <string>
#include <string_view>

#include "app/SettingsRecord.h"
#include "app/Platform.h"

namespace torvane {

// Where the settings live: the program's path with the extension ".cfg" when
// that file already exists (a portable installation that carries its
// settings); otherwise torvane/torvane.cfg under $XDG_CONFIG_HOME, or under
// ~/.config when that is not set or not absolute. Never a system folder,
// whoever runs the program.
std::string SettingsFilePath(const std::string& executable_path);
std::string SettingsFilePath(const std::string& executable_path, std::string_view xdg_config_home,
                             std::string_view home);

enum class SettingsReadResult { kRead, kMissing, kUnreadable };

// Reads up to the record's size from the file's start into a record of zero
// bytes; a shorter file leaves the rest zero. On kMissing and kUnreadable the
// record is all zero.
SettingsReadResult ReadSettingsFile(const std::string& path, SettingsRecord& record);

// Replaces the file whole, or leaves it as it was when that fails. Creates
// the file's folder when it is missing.
bool WriteSettingsFile(const std::string& path, const SettingsRecord& record);

// Sets every stored control from the record, in the record's order. An item
// index the list does not hold selects the list's default entry.
void ShowSettings(Platform& platform, const SettingsRecord& record);

// Fills the record from the controls. False when a numeric field holds text
// that is not a number (its fields up to that one are filled then).
bool TakeSettings(Platform& platform, SettingsRecord& record);

// A stored number as the window shows it: general format with up to 15
// significant digits, `decimal_separator` as the decimal mark, a whole
// number without one. A number so near the largest double that 15 digits
// would round beyond it gets the (up to 17) digits that read back as it.
std::string FormatStoredNumber(double value, char decimal_separator);

}  // namespace torvane
