// The settings file on any bytes, as the window reads it into its controls
// and writes them back when it closes: every list shows an entry it has,
// and what is written back reads into the same controls again.

#include <cmath>

#include "app/ControlDefaults.h"
#include "app/SettingsFile.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {
namespace {

// What the window shows of every stored field, as one text. As saved, a
// text too long for its field (one that filled it without a terminating
// zero) is stored empty.
std::string Shown(Platform& platform, bool as_saved = false) {
  std::string shown;
  for (const SettingsField& field : SettingsFields()) {
    switch (field.kind) {
      case SettingsFieldKind::kFlag:
        shown += platform.Checked(field.control) ? "1" : "0";
        break;
      case SettingsFieldKind::kItem:
        shown += std::to_string(platform.ItemIndex(field.control));
        break;
      case SettingsFieldKind::kText: {
        const std::string text = platform.Text(field.control);
        if (!as_saved || text.size() < kSettingsTextSize) shown += text;
        break;
      }
      default:
        shown += platform.Text(field.control);
    }
    shown += '\0';
  }
  return shown;
}

bool HoldsNonFiniteNumber(Bytes data) {
  SettingsRecord record;
  for (std::size_t i = 0; i < data.size() && i < kSettingsRecordSize; ++i) {
    record.bytes()[i] = data[i];
  }
  for (const SettingsField& field : SettingsFields()) {
    if (field.kind == SettingsFieldKind::kDecimal && !std::isfinite(record.Decimal(field.offset))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string FuzzSettingsFile(Bytes data) {
  static InputFile file;
  // A real folder for the file written back: it is replaced through a
  // temporary file beside it.
  static ScratchFolder folder;
  const std::string saved_path = folder.File("torvane.cfg");

  // As the window reads its settings (ReadCfg) ...
  CountingPlatform first_platform;
  SettingsRecord record;
  if (ReadSettingsFile(file.Hold(data), record) != SettingsReadResult::kRead) {
    return "a settings file that exists could not be read";
  }
  ShowSettings(first_platform, record);
  for (const SettingsField& field : SettingsFields()) {
    if (field.kind != SettingsFieldKind::kItem) continue;
    const int index = first_platform.ItemIndex(field.control);
    if (index < 0 || index >= static_cast<int>(ItemsOf(field.control).size())) {
      return "a list shows no entry it has";
    }
  }
  // ... and writes them back when it closes (FormClose).
  if (!TakeSettings(first_platform, record)) {
    // Only a stored number that is no number (NaN, infinity) cannot be.
    return HoldsNonFiniteNumber(data) ? "" : "the settings just read could not be taken back";
  }
  if (!WriteSettingsFile(saved_path, record)) return "the settings could not be saved";

  CountingPlatform second_platform;
  SettingsRecord saved;
  if (ReadSettingsFile(saved_path, saved) != SettingsReadResult::kRead) {
    return "the saved settings could not be read";
  }
  ShowSettings(second_platform, saved);
  return Shown(second_platform) == Shown(first_platform, true)
             ? ""
             : "the saved settings read back differently";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzSettingsFile)
