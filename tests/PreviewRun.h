#pragma once
// A window on the scripted platform with a survey file written and the
// fields of a run filled in (R = 100, D = 10, "Preview grids" ticked), for
// the tests of the previews.

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/Hvw.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {

struct PreviewRun {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form{platform};

  explicit PreviewRun(const std::string& survey) {
    WriteFile(dir.File("survey.dat"), survey);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    platform.SetText(Control::txt_rfs, "100");
    platform.SetText(Control::txt_rfa, "10");
    platform.SetChecked(Control::cb_preview, true);
    platform.log.clear();
  }

  const RgbCanvas& Picture(Control image) const { return platform.picture(image); }
  bool TableWritten() const { return std::filesystem::exists(dir.File("table.dat")); }
  std::string File(const std::string& name) const { return ReadFile(dir.File(name)); }

  // The next save dialog chooses `name` in the test folder and the filter.
  void Answer(const std::string& name, int filter_index) {
    platform.dialog_answers.push_back(ScriptedPlatform::DialogAnswer{dir.File(name), filter_index});
  }

  // The log entries that start with one of `kinds`, in order.
  std::vector<std::string> Entries(std::initializer_list<std::string_view> kinds) const {
    std::vector<std::string> found;
    for (const std::string& entry : platform.log) {
      if (std::any_of(kinds.begin(), kinds.end(),
                      [&](std::string_view kind) { return entry.starts_with(kind); })) {
        found.push_back(entry);
      }
    }
    return found;
  }
};

}  // namespace torvane::testing
