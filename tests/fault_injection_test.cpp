// Faults of the file system while Torvane writes or reads: a full disk and a
// read-only folder under each output (the table, the settings file, a
// picture), and a grid file cut short while its nodes are read from its
// mapping. Each time the user is told, the earlier file stays as it was, no
// temporary file is left behind, and the same window runs again.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/Hvw.h"
#include "common/MappedFile.h"
#include "tests/GridWriters.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/SmallDisk.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEarlier = "what an earlier run wrote\r\n";
constexpr std::size_t kDiskSize = 64 << 10;

std::string SampleSurvey() { return SourceDir() + "/data/sample_survey.dat"; }

// A window set up for a run over the sample survey, with "Preview grids"
// ticked, its table and settings to go to `folder`.
struct Window {
  ScriptedPlatform platform;
  TfrmMain form{platform};
  explicit Window(const std::string& folder) {
    platform.SetText(Control::txt_in, SampleSurvey());
    platform.SetText(Control::txt_out, folder + "/table.dat");
    platform.SetText(Control::txt_rfs, "500");
    platform.SetText(Control::txt_rfa, "100");
    platform.SetChecked(Control::cb_preview, true);
    form.UseSettingsFile(folder + "/torvane.cfg");
  }
};

enum class Fault { kDiskFull, kReadOnly };
enum class Output { kTable, kSettings, kBitmap, kJpeg };

struct OutputCase {
  const char* name;
  Fault fault;
  Output output;
  const char* file;                   // in the faulty folder
  std::vector<std::string> messages;  // $PATH is the file's path
};

const OutputCase kOutputCases[] = {
    {"TableOnAFullDisk", Fault::kDiskFull, Output::kTable, "table.dat",
     {"info: Error by writing output data $PATH"}},
    {"TableInAReadOnlyFolder", Fault::kReadOnly, Output::kTable, "table.dat",
     {"info: Error by opening output data $PATH"}},
    {"SettingsOnAFullDisk", Fault::kDiskFull, Output::kSettings, "torvane.cfg",
     {"message: Eror: Error by save config file"}},
    {"SettingsInAReadOnlyFolder", Fault::kReadOnly, Output::kSettings, "torvane.cfg",
     {"message: Eror: Error by save config file"}},
    {"BitmapOnAFullDisk", Fault::kDiskFull, Output::kBitmap, "cba.bmp",
     {"info: Cannot write file \"$PATH\""}},
    {"JpegOnAFullDisk", Fault::kDiskFull, Output::kJpeg, "cba.jpg",
     {"info: Cannot write file \"$PATH\""}},
    {"BitmapInAReadOnlyFolder", Fault::kReadOnly, Output::kBitmap, "cba.bmp",
     {"info: Cannot create file \"$PATH\""}},
};

// Writes the output of `c` to `path`; answers whether it says it did.
bool WriteOutput(Window& window, Output output, const std::string& path) {
  switch (output) {
    case Output::kTable:
      window.platform.SetText(Control::txt_out, path);
      window.form.btn_calcClick();
      return window.form.ResultsReady();
    case Output::kSettings:
      window.form.UseSettingsFile(path);
      window.form.FormClose();
      return window.platform.Messages().empty();
    case Output::kBitmap:
      return window.form.SavePicture(Control::img_uba, path, PictureFormat::kBitmap);
    case Output::kJpeg:
      return window.form.SavePicture(Control::img_uba, path, PictureFormat::kJpeg);
  }
  return false;
}

class FaultyFolder : public ::testing::TestWithParam<OutputCase> {};

TEST_P(FaultyFolder, ToldEarlierFileKeptNothingLeftRunsAgain) {
  const OutputCase& c = GetParam();
  TempDir dir;
  fs::create_directory(dir.path() / "faulty");
  SmallDisk disk(dir.File("faulty"), kDiskSize);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small file system here";
  const std::string path = dir.File("faulty/" + std::string(c.file));
  WriteFile(path, kEarlier);
  if (c.fault == Fault::kDiskFull) disk.Fill();
  if (c.fault == Fault::kReadOnly) disk.MakeReadOnly();
  const std::vector<std::string> entries_before = FolderEntries(dir.File("faulty"));

  // A run computes the pictures first, so that they can be saved.
  Window window(dir.path().string());
  window.form.btn_calcClick();
  ASSERT_TRUE(window.form.ResultsReady());
  window.platform.log.clear();

  EXPECT_FALSE(WriteOutput(window, c.output, path));
  std::vector<std::string> expected;
  for (std::string message : c.messages) {
    if (const auto at = message.find("$PATH"); at != std::string::npos) message.replace(at, 5, path);
    expected.push_back(message);
  }
  EXPECT_EQ(window.platform.Messages(), expected);
  EXPECT_EQ(ReadFile(path), kEarlier);
  EXPECT_EQ(FolderEntries(dir.File("faulty")), entries_before) << "no temporary file may be left";
  EXPECT_TRUE(window.platform.Enabled(Control::btn_calc));

  // The same window writes the same output elsewhere.
  window.platform.log.clear();
  const std::string elsewhere = dir.File(c.file);
  EXPECT_TRUE(WriteOutput(window, c.output, elsewhere))
      << ::testing::PrintToString(window.platform.Messages());
  EXPECT_TRUE(window.platform.Messages().empty());
  EXPECT_NE(ReadFile(elsewhere), kEarlier);
}

INSTANTIATE_TEST_SUITE_P(Outputs, FaultyFolder, ::testing::ValuesIn(kOutputCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The batch command on a full disk: exit code 1 and the reason on stderr,
// the earlier table and picture as they were, nothing else left there.
TEST(FaultyFolder, BatchCommandOnAFullDisk) {
  TempDir dir;
  fs::create_directory(dir.path() / "faulty");
  SmallDisk disk(dir.File("faulty"), kDiskSize);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small file system here";
  const std::string table = dir.File("faulty/table.dat");
  const std::string picture = dir.File("faulty/cba.bmp");
  WriteFile(table, kEarlier);
  WriteFile(picture, kEarlier);
  disk.Fill();

  const CliResult table_run = RunCli(dir, {"--input", SampleSurvey(), "--output", table,
                                           "--radius", "500", "--band", "100"});
  EXPECT_EQ(table_run.exit_code, 1);
  EXPECT_NE(table_run.err.find("Error by writing output data " + table), std::string::npos)
      << table_run.err;

  const CliResult picture_run =
      RunCli(dir, {"--input", SampleSurvey(), "--output", dir.File("table.dat"), "--radius",
                   "500", "--band", "100", "--preview-cba", picture});
  EXPECT_EQ(picture_run.exit_code, 1);
  EXPECT_NE(picture_run.err.find("Cannot write file \"" + picture + "\""), std::string::npos)
      << picture_run.err;
  EXPECT_TRUE(fs::exists(dir.File("table.dat"))) << "the table was written all the same";

  EXPECT_EQ(ReadFile(table), kEarlier);
  EXPECT_EQ(ReadFile(picture), kEarlier);
  EXPECT_EQ(FolderEntries(dir.File("faulty")),
            (std::vector<std::string>{"cba.bmp", "filler", "table.dat"}));
}

// A grid read from its file (disk mode) that another program cuts short
// while the residuals are computed: the pages past its new end would end
// the process (SIGBUS); instead the run reports the read error and writes
// no table, and the next run over the mended grid succeeds.
TEST(GridCutShort, WhileReadFromItsMapping) {
  TempDir dir;
  TestGrid grid(400, 400, 0, 0, 10, 10);
  for (std::size_t i = 0; i < grid.values.size(); ++i) grid.values[i] = static_cast<double>(i % 97);
  const std::string bytes = Surfer7Bytes(grid);  // 1.28 MB
  WriteFile(dir.File("cba.grd"), bytes);
  std::string survey;
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> across(500, 3500);
  for (int i = 1; i <= 3000; ++i) {
    survey += std::to_string(across(random)) + " " + std::to_string(across(random)) + " " +
              std::to_string(i) + " 0 " + std::to_string(i % 13) + "\n";
  }
  WriteFile(dir.File("survey.dat"), survey);
  WriteFile(dir.File("table.dat"), kEarlier);

  ScriptedPlatform platform;
  TfrmMain form(platform);
  form.Request().ring.grid_memory_limit = 0;
  platform.SetText(Control::txt_in, dir.File("survey.dat"));
  platform.SetText(Control::txt_out, dir.File("table.dat"));
  platform.SetText(Control::txt_rfs, "300");
  platform.SetChecked(Control::chb_grd, true);
  platform.SetText(Control::txt_grd, dir.File("cba.grd"));
  bool cut = false;
  platform.on_events = [&] {
    if (cut || platform.progress_position() < 1) return;
    fs::resize_file(dir.File("cba.grd"), 4096);  // the header and a row
    cut = true;
  };
  form.btn_calcClick();
  ASSERT_TRUE(cut);
  EXPECT_FALSE(form.ResultsReady());
  EXPECT_EQ(platform.Messages(),
            (std::vector<std::string>{
                "info: Grid is too big to fit in memory - data will be read from HDD",
                "message: Error: \nError by reading grid"}));
  EXPECT_EQ(ReadFile(dir.File("table.dat")), kEarlier);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"cba.grd", "survey.dat", "table.dat"}));

  platform.on_events = nullptr;
  platform.log.clear();
  WriteFile(dir.File("cba.grd"), bytes);
  form.btn_calcClick();
  EXPECT_TRUE(form.ResultsReady());
  EXPECT_NE(ReadFile(dir.File("table.dat")), kEarlier);
}

// The mapping itself: past the new end of a file cut short it reads zero
// bytes and knows the file changed; a file written to in place is changed
// too; an untouched one is not.
TEST(MappedFileCutShort, ReadsZerosAndKnowsIt) {
  TempDir dir;
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  WriteFile(dir.File("f"), std::string(4 * page, 'x'));
  MappedFile file;
  ASSERT_TRUE(file.Open(dir.File("f")));
  EXPECT_TRUE(file.Unchanged());
  EXPECT_EQ(file.bytes()[3 * page], 'x');
  fs::resize_file(dir.File("f"), page);
  EXPECT_EQ(file.bytes()[0], 'x');
  EXPECT_EQ(file.bytes()[3 * page + 5], 0);
  EXPECT_EQ(file.bytes()[2 * page], 0);
  EXPECT_FALSE(file.Unchanged());

  WriteFile(dir.File("g"), "1234");
  MappedFile rewritten;
  ASSERT_TRUE(rewritten.Open(dir.File("g")));
  struct timespec later[2] = {{0, UTIME_OMIT}, {1, 0}};  // as a write in place would
  ASSERT_EQ(utimensat(AT_FDCWD, dir.File("g").c_str(), later, 0), 0);
  EXPECT_FALSE(rewritten.Unchanged());
}

// A bus error outside every mapped file still ends the process.
TEST(MappedFileCutShortDeathTest, OtherBusErrorsStillEndTheProcess) {
  TempDir dir;
  MappedFile guarded;  // puts the guard in place
  WriteFile(dir.File("guarded"), std::string(8192, 'g'));
  ASSERT_TRUE(guarded.Open(dir.File("guarded")));
  WriteFile(dir.File("f"), std::string(8192, 'x'));
  EXPECT_DEATH(
      {
        const int fd = open(dir.File("f").c_str(), O_RDONLY);
        auto* bytes = static_cast<volatile const char*>(
            mmap(nullptr, 8192, PROT_READ, MAP_PRIVATE, fd, 0));
        fs::resize_file(dir.File("f"), 0);
        std::printf("%d\n", bytes[5000]);
      },
      "");
}

}  // namespace
}  // namespace torvane::testing
