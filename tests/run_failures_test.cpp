// Runs that fail: each tells the user, returns the buttons to idle, leaves
// ResultsReady false and leaves no file behind and no existing file changed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/Hvw.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

constexpr const char* kSurvey = "0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n";
constexpr const char* kOldTable = "an earlier table\r\n";

using namespace std::string_literals;

struct FailureCase {
  const char* name;
  const char* input_name;   // relative to the test folder
  std::string survey;       // written to input_name unless empty
  const char* output_name;  // relative to the test folder
  std::vector<std::string> told;  // messages and notes in order; $OUT is the output path
};

const FailureCase kFailures[] = {
    {"MissingInput", "missing.dat", "", "table.dat", {"info: Cannot open input data file"}},
    {"InputIsAFolder", "folder", "", "table.dat", {"info: Cannot open input data file"}},
    {"NoValidData", "survey.dat", "X Y POINT H CBA\n/ only a comment\n\n", "table.dat",
     {"info: Input file contains no valid xyz data"}},
    {"BinaryGarbage", "survey.dat", "\x01\x02\xff\xfe\0\0\x7f\n\0 1 2 3 4"s, "table.dat",
     {"info: Input file contains no valid xyz data"}},
    {"OutputFolderMissing", "survey.dat", kSurvey, "no/such/folder/table.dat",
     {"note: Error by opening output data $OUT \n", "info: Error by opening output data $OUT"}},
    {"OutputIsAFolder", "survey.dat", kSurvey, "folder",
     {"note: Error by opening output data $OUT \n", "info: Error by opening output data $OUT"}},
};

class RunFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RunFailure, ToldLeftIdleNothingWritten) {
  const FailureCase& c = GetParam();
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "folder");
  const std::string input = dir.File(c.input_name);
  const std::string output = dir.File(c.output_name);
  if (!c.survey.empty()) WriteFile(input, c.survey);
  WriteFile(dir.File("old.dat"), kOldTable);
  const auto before = dir.Entries();

  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, input);
  platform.SetText(Control::txt_out, output);
  platform.SetText(Control::txt_rfs, "100");
  platform.SetText(Control::txt_rfa, "10");
  form.btn_calcClick();

  std::vector<std::string> told;
  for (const std::string& line : platform.log) {
    if (line.starts_with("info: ") || line.starts_with("note: ")) told.push_back(line);
  }
  std::vector<std::string> expected;
  for (std::string line : c.told) {
    if (const auto at = line.find("$OUT"); at != std::string::npos) line.replace(at, 4, output);
    expected.push_back(line);
  }
  EXPECT_EQ(told, expected);
  EXPECT_FALSE(form.ResultsReady());
  EXPECT_FALSE(form.StopRequested());
  EXPECT_TRUE(platform.Enabled(Control::btn_calc));
  EXPECT_TRUE(platform.Visible(Control::btn_exit));
  EXPECT_FALSE(platform.Visible(Control::btn_stop));
  EXPECT_EQ(dir.Entries(), before) << "no table and no temporary file may be left";
  EXPECT_EQ(ReadFile(dir.File("old.dat")), kOldTable);
}

INSTANTIATE_TEST_SUITE_P(Runs, RunFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& row) { return std::string(row.param.name); });

// A run that fails keeps the table an earlier run wrote; a run that succeeds
// replaces it whole, keeping the file's permissions.
TEST(RunFailures, ExistingTableReplacedOnlyBySuccess) {
  TempDir dir;
  WriteFile(dir.File("survey.dat"), kSurvey);
  WriteFile(dir.File("table.dat"), kOldTable);
  std::filesystem::permissions(dir.File("table.dat"), std::filesystem::perms(0640));
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_out, dir.File("table.dat"));
  platform.SetText(Control::txt_rfs, "100");
  platform.SetText(Control::txt_rfa, "10");

  platform.SetText(Control::txt_in, dir.File("missing.dat"));
  form.btn_calcClick();
  EXPECT_EQ(ReadFile(dir.File("table.dat")), kOldTable);

  platform.SetText(Control::txt_in, dir.File("survey.dat"));
  form.btn_calcClick();
  ASSERT_TRUE(form.ResultsReady());
  const std::string table = ReadFile(dir.File("table.dat"));
  EXPECT_TRUE(table.starts_with("         X          Y      POINT")) << table;
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);
  EXPECT_EQ(std::filesystem::status(dir.File("table.dat")).permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"survey.dat", "table.dat"}));
}

// Writing through a symbolic link replaces the file it names, not the link.
TEST(RunFailures, OutputThroughASymbolicLink) {
  TempDir dir;
  WriteFile(dir.File("survey.dat"), kSurvey);
  WriteFile(dir.File("real.dat"), kOldTable);
  std::filesystem::create_symlink(dir.File("real.dat"), dir.File("link.dat"));
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, dir.File("survey.dat"));
  platform.SetText(Control::txt_out, dir.File("link.dat"));
  platform.SetText(Control::txt_rfs, "100");
  platform.SetText(Control::txt_rfa, "10");
  form.btn_calcClick();
  ASSERT_TRUE(form.ResultsReady());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.dat")));
  EXPECT_NE(ReadFile(dir.File("real.dat")), kOldTable);
}

// A radius so small against the survey that the previews' cells cannot be
// had: with previews the cluster's message is shown once and the previews
// are skipped; the table is written either way, and without previews
// nothing is said of cells at all.
TEST(RunFailures, TinyRadiusSkipsThePreviewsOnly) {
  constexpr const char* kClusterMessage =
      "info: Insufficent memory for creting temporary cluster. Increase radius for search!";
  TempDir dir;
  WriteFile(dir.File("survey.dat"), "0 0 1 0 1\n100000 100000 2 0 2\n");
  for (const bool previews : {false, true}) {
    ScriptedPlatform platform;
    TfrmMain form(platform);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    platform.SetText(Control::txt_rfs, "1e-300");
    platform.SetText(Control::txt_rfa, "1e-300");
    platform.SetChecked(Control::cb_preview, previews);
    form.btn_calcClick();
    EXPECT_EQ(platform.CountOf(kClusterMessage), previews ? 1 : 0);
    EXPECT_EQ(form.PreviewsSkipped(), previews);
    ASSERT_TRUE(form.ResultsReady()) << previews;
    EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "picture: img_uba"), 1)
        << "only the clearing at the start: nothing was painted";
    // The band reaches each point itself, and nothing else.
    EXPECT_TRUE(ReadFile(dir.File("table.dat")).ends_with("          1\r\n"));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"survey.dat", "table.dat"}));
    // A list change after the run does not try the cells again.
    form.cb1Change();
    EXPECT_EQ(platform.CountOf(kClusterMessage), previews ? 1 : 0);
  }
}

// Cells (and the preview nodes on them) that would not fit in the memory the
// system has free are refused with the cluster's message, before anything
// is allocated; the table is written all the same.
TEST(RunFailures, ClusterBeyondFreeMemorySkipsThePreviews) {
  TempDir dir;
  WriteFile(dir.File("survey.dat"), "0 0 1 0 1\n100000 100000 2 0 2\n");
  for (const std::uint64_t available : {std::uint64_t{1} << 20, std::uint64_t{1} << 30}) {
    ScriptedPlatform platform;
    platform.set_available_memory(available);
    TfrmMain form(platform);
    platform.SetText(Control::txt_in, dir.File("survey.dat"));
    platform.SetText(Control::txt_out, dir.File("table.dat"));
    platform.SetText(Control::txt_rfs, "10");  // 10001 x 10001 cells
    platform.SetText(Control::txt_rfa, "1");
    platform.SetChecked(Control::cb_preview, true);
    form.btn_calcClick();
    // A cell start and a preview node per cell, and an index per point.
    const std::uint64_t cells = std::uint64_t{10001} * 10001;
    const bool fits = available >= (cells + 1) * 4 + cells * 4 + 2 * 4;
    EXPECT_TRUE(form.ResultsReady()) << available;
    EXPECT_EQ(form.PreviewsSkipped(), !fits) << available;
    EXPECT_EQ(platform.CountOf("info: Insufficent memory for creting temporary cluster. "
                               "Increase radius for search!"),
              fits ? 0 : 1)
        << available;
  }
}

}  // namespace
}  // namespace torvane::testing
