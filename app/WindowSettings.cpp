// The window's start and close: the settings file read into the controls,
// and written from them.

#include "app/Hvw.h"
#include "app/SettingsFile.h"

namespace torvane {

std::string TfrmMain::SettingsPath() {
  return settings_path_.empty() ? SettingsFilePath(platform_.ExecutablePath()) : settings_path_;
}

void TfrmMain::ReadCfg() {
  switch (ReadSettingsFile(SettingsPath(), settings_)) {
    case SettingsReadResult::kRead:
      ShowSettings(platform_, settings_);
      break;
    case SettingsReadResult::kUnreadable:
      platform_.ShowMessage("Error by read config file - use default", "Eror", MessageButtons::kOk);
      break;
    case SettingsReadResult::kMissing:
      break;
  }
  chb_grdClick();
  ClearPictures();
}

bool TfrmMain::FormClose() {
  // The run still uses the points and their cluster; it ends first.
  if (result_.busy) return false;
  result_.Clear();
  // The record is filled completely before the file is touched, so a field
  // that is no number leaves the file as it was.
  SettingsRecord record = settings_;
  if (TakeSettings(platform_, record) && WriteSettingsFile(SettingsPath(), record)) {
    settings_ = record;
  } else {
    platform_.ShowMessage("Error by save config file", "Eror", MessageButtons::kOk);
  }
  return true;
}

void TfrmMain::btn_exitClick() { platform_.CloseWindow(); }

}  // namespace torvane
