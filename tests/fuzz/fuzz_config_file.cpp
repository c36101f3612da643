// torvane-cli --config on any 820-byte record: the settings become the
// window's fields as the batch command sets them, and Calc judges them as
// it judges a user's. The run itself is kept from starting by an empty
// point file in a scratch folder: every record either is refused by Calc
// or fails on that file, and says so.

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/ControlDefaults.h"
#include "app/SettingsFile.h"
#include "app/SettingsRecord.h"
#include "app/cli/BatchConfig.h"
#include "app/cli/CalcRefusal.h"
#include "run/Run.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {

std::string FuzzConfigFile(Bytes data) {
  static InputFile file;
  static ScratchFolder folder;
  static const std::string empty_points = [] {
    const std::string path = folder.File("empty.dat");
    if (std::FILE* empty = std::fopen(path.c_str(), "w")) std::fclose(empty);
    return path;
  }();
  // Only a file of a record's size is taken by --config.
  std::vector<std::uint8_t> record(kSettingsRecordSize, 0);
  std::copy_n(data.begin(), std::min(data.size(), record.size()), record.begin());
  const std::string& path = file.Hold(record);
  // The window shows the record's lists as the batch command reads them.
  CountingPlatform platform;
  SettingsRecord read;
  if (ReadSettingsFile(path, read) != SettingsReadResult::kRead) {
    return "a settings record was refused";
  }
  ShowSettings(platform, read);
  for (const Control list : {Control::cmb_gx, Control::cmb_gy, Control::cmb_point,
                             Control::cmb_uba, Control::cb1, Control::cb2}) {
    const int index = platform.ItemIndex(list);
    if (index < 0 || index >= static_cast<int>(ItemsOf(list).size())) {
      return "a list shows no entry it has";
    }
  }
  BatchFields fields;
  if (!ReadBatchFields(path, platform.DecimalSeparator(), fields)) {
    return "a settings record was refused";
  }
  // The record's own file names stay out of reach: a fuzzed name could be
  // any file of the machine.
  fields.input = empty_points;
  fields.output = folder.File("table.dat");
  fields.grid = folder.File("missing.grd");
  const int before = platform.messages;
  RunRequest request;
  RunResult result;
  if (TakeCalcFields(platform, fields, request) && Run(platform, request, result)) {
    return "a run over an empty point file gave results";
  }
  if (platform.messages == before) return "a run that gave nothing said nothing";
  return "";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzConfigFile)
