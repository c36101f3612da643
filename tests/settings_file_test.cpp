// The settings file: the 820-byte record read into the controls at start and
// written from them at close, byte for byte at the offsets of its layout.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/ControlDefaults.h"
#include "app/Hvw.h"
#include "app/SettingsFile.h"
#include "tests/ScriptedPlatform.h"
#include "tests/SettingsBytes.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

using C = Control;

// What a control shows, as one word: an edit's text, a check box's state,
// a list's selected item.
std::string Shown(MemoryPlatform& platform, Control control) {
  switch (DefaultOf(control).kind) {
    case ControlKind::kCheckBox:
      return platform.Checked(control) ? "checked" : "unchecked";
    case ControlKind::kCombo:
      return "item " + std::to_string(platform.ItemIndex(control));
    default:
      return platform.Text(control);
  }
}

struct Window {
  TempDir dir;
  ScriptedPlatform platform;
  TfrmMain form{platform};

  explicit Window(char separator = '.') : platform(separator) {
    std::filesystem::create_directory(dir.path() / "bin");
    platform.set_executable_path(dir.File("bin/torvane"));
    form.UseSettingsFile(SettingsPath());
  }
  std::string SettingsPath() const { return dir.File("bin/torvane.cfg"); }
};

using Expected = std::map<Control, std::string>;

const Expected kWindowDefaults = {
    {C::txt_in, ""},
    {C::txt_out, ""},
    {C::txt_rfs, "0"},
    {C::txt_rfa, "0"},
    {C::cb_preview, "unchecked"},
    {C::txt_nearest, "0"},
    {C::cb1, "item 0"},
    {C::cb2, "item 0"},
    {C::cmb_gx, "item 0"},
    {C::cmb_gy, "item 1"},
    {C::cmb_point, "item 2"},
    {C::cmb_uba, "item 4"},
    {C::txt_grd, ""},
    {C::txt_n, "360"},
    {C::chb_grd, "unchecked"},
    {C::chb_interpol, "unchecked"},
};

const Expected kFullRecordShown = {
    {C::txt_in, "/data/survey 7.dat"},
    {C::txt_out, "/data/survey 7_torvane.dat"},
    {C::txt_rfs, "500"},
    {C::txt_rfa, "12.5"},
    {C::cb_preview, "checked"},
    {C::txt_nearest, "0.001"},
    {C::cb1, "item 0"},
    {C::cb2, "item 0"},
    {C::cmb_gx, "item 3"},
    {C::cmb_gy, "item 4"},
    {C::cmb_point, "item 25"},
    {C::cmb_uba, "item 7"},
    {C::txt_grd, "/grids/cba.grd"},
    {C::txt_n, "720"},
    {C::chb_grd, "checked"},
    {C::chb_interpol, "checked"},
};

// What a file of zero bytes gives, for every field.
const Expected kAllZero = {
    {C::txt_in, ""},
    {C::txt_out, ""},
    {C::txt_rfs, "0"},
    {C::txt_rfa, "0"},
    {C::cb_preview, "unchecked"},
    {C::txt_nearest, "0"},
    {C::cb1, "item 0"},
    {C::cb2, "item 0"},
    {C::cmb_gx, "item 0"},
    {C::cmb_gy, "item 0"},
    {C::cmb_point, "item 0"},
    {C::cmb_uba, "item 0"},
    {C::txt_grd, ""},
    {C::txt_n, "0"},
    {C::chb_grd, "unchecked"},
    {C::chb_interpol, "unchecked"},
};

Expected With(Expected base, const Expected& changes) {
  for (const auto& [control, shown] : changes) base[control] = shown;
  return base;
}

struct ReadCase {
  const char* name;
  std::string file;
  char separator;
  Expected shown;
};

const ReadCase kReadCases[] = {
    {"EveryField", FullSettings().bytes, '.', kFullRecordShown},
    {"EmptyFile", "", '.', kAllZero},
    {"ShortFileEndsAfterTheRadius",
     SettingsBytes().Text(0, "in.dat").Text(255, "out.dat").Double(510, 250).Cut(518).bytes, '.',
     With(kAllZero, {{C::txt_in, "in.dat"}, {C::txt_out, "out.dat"}, {C::txt_rfs, "250"}})},
    {"ShortFileEndsInsideAText",
     SettingsBytes().Text(0, "in.dat").Text(255, "out.dat").Cut(258).bytes, '.',
     With(kAllZero, {{C::txt_in, "in.dat"}, {C::txt_out, "out"}})},
    {"BytesAfterTheRecordAreIgnored", FullSettings().bytes + std::string(100, '\x7f'), '.',
     kFullRecordShown},
    {"CommaSeparator", FullSettings().Double(510, 1234.5).Double(527, -0.25).bytes, ',',
     With(kFullRecordShown,
          {{C::txt_rfs, "1234,5"}, {C::txt_rfa, "12,5"}, {C::txt_nearest, "-0,25"}})},
    {"ListIndexesOutOfRangeSelectTheDefaults",
     FullSettings().Int(535, 1).Int(539, -5).Int(543, 26).Int(547, -1).Int(551, 1000).bytes, '.',
     With(kFullRecordShown, {{C::cb1, "item 0"},
                             {C::cb2, "item 0"},
                             {C::cmb_gx, "item 0"},
                             {C::cmb_gy, "item 1"},
                             {C::cmb_point, "item 2"}})},
    {"TextFillingItsWholeField", FullSettings().Text(0, std::string(255, 'a')).bytes, '.',
     With(kFullRecordShown, {{C::txt_in, std::string(255, 'a')}})},
    {"BytesAfterATextsZeroAreIgnored",
     FullSettings().Text(559, "/grids/old-and-long-name.grd").Text(559, "a.grd").bytes, '.',
     With(kFullRecordShown, {{C::txt_grd, "a.grd"}})},
    {"NegativeRingPointsAndAnyNonZeroFlag", FullSettings().Int(814, -3).Byte(526, 7).bytes, '.',
     With(kFullRecordShown, {{C::txt_n, "-3"}})},
};

class ReadCfgTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadCfgTest, RestoresTheControlsAsWritten) {
  const ReadCase& c = GetParam();
  Window window(c.separator);
  WriteFile(window.SettingsPath(), c.file);

  window.form.ReadCfg();

  for (const auto& [control, shown] : c.shown) {
    EXPECT_EQ(Shown(window.platform, control), shown) << ControlName(control);
  }
  EXPECT_EQ(window.platform.Messages(), std::vector<std::string>{});
  EXPECT_EQ(window.platform.Visible(C::txt_rfa), !window.platform.Checked(C::chb_grd));
  EXPECT_EQ(window.platform.CountOf("picture: img_uba"), 1) << "the pictures are cleared";
  EXPECT_EQ(window.platform.CountOf("picture: img_regta"), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadCfgTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ReadCfg, FirstStartWithoutAFileKeepsTheDefaultsSilently) {
  Window window;
  window.form.ReadCfg();
  for (const auto& [control, shown] : kWindowDefaults) {
    EXPECT_EQ(Shown(window.platform, control), shown) << ControlName(control);
  }
  EXPECT_EQ(window.platform.Messages(), std::vector<std::string>{});
  EXPECT_TRUE(window.platform.Visible(C::txt_rfa));
  EXPECT_EQ(window.platform.picture(C::img_uba).Pixel(1, 1), kWhite);
  EXPECT_EQ(window.platform.picture(C::img_uba).Pixel(0, 0), kBlack);
}

TEST(ReadCfg, UnreadableFileKeepsTheDefaults) {
  Window window;
  std::filesystem::create_directory(window.SettingsPath());  // exists, cannot be read
  window.form.ReadCfg();
  EXPECT_EQ(window.platform.Messages(),
            std::vector<std::string>{"message: Eror: Error by read config file - use default"});
  for (const auto& [control, shown] : kWindowDefaults) {
    EXPECT_EQ(Shown(window.platform, control), shown) << ControlName(control);
  }
}

// Fills the controls as the full record holds them.
void FillAsFullRecord(MemoryPlatform& platform) {
  platform.SetText(C::txt_in, "/data/survey 7.dat");
  platform.SetText(C::txt_out, "/data/survey 7_torvane.dat");
  platform.SetText(C::txt_rfs, "500");
  platform.SetText(C::txt_rfa, "12.5");
  platform.SetChecked(C::cb_preview, true);
  platform.SetText(C::txt_nearest, "0.001");
  platform.SetItemIndex(C::cmb_gx, 3);
  platform.SetItemIndex(C::cmb_gy, 4);
  platform.SetItemIndex(C::cmb_point, 25);
  platform.SetItemIndex(C::cmb_uba, 7);
  platform.SetText(C::txt_grd, "/grids/cba.grd");
  platform.SetText(C::txt_n, "720");
  platform.SetChecked(C::chb_grd, true);
  platform.SetChecked(C::chb_interpol, true);
}

TEST(FormClose, WritesTheRecordByteForByte) {
  Window window;
  FillAsFullRecord(window.platform);
  EXPECT_TRUE(window.form.FormClose());
  EXPECT_EQ(ReadFile(window.SettingsPath()), FullSettings().bytes);
  EXPECT_EQ(window.platform.Messages(), std::vector<std::string>{});
  EXPECT_EQ(window.dir.Entries(), std::vector<std::string>{"bin"});
  EXPECT_EQ(ReadFile(window.SettingsPath()).size(), 820u);
}

TEST(FormClose, CommaNumbersAreStoredAsTheirValues) {
  Window window(',');
  FillAsFullRecord(window.platform);
  window.platform.SetText(C::txt_rfs, "1234,5");
  window.platform.SetText(C::txt_rfa, "12,5");
  window.platform.SetText(C::txt_nearest, "1E-3");
  window.form.FormClose();
  EXPECT_EQ(ReadFile(window.SettingsPath()), FullSettings().Double(510, 1234.5).bytes);
}

// A text shorter than the one read keeps the old bytes after its zero.
TEST(FormClose, BytesAfterATextsZeroKeepWhatWasRead) {
  Window window;
  WriteFile(window.SettingsPath(), FullSettings().bytes);
  window.form.ReadCfg();
  window.platform.SetText(C::txt_in, "a");
  window.form.FormClose();
  EXPECT_EQ(ReadFile(window.SettingsPath()), FullSettings().Text(0, "a").bytes);
}

TEST(FormClose, PathTooLongForItsFieldIsStoredEmpty) {
  Window window;
  FillAsFullRecord(window.platform);
  window.platform.SetText(C::txt_out, "/" + std::string(254, 'o'));
  window.platform.SetText(C::txt_in, std::string(254, 'i'));  // just fits
  window.form.FormClose();
  EXPECT_EQ(ReadFile(window.SettingsPath()),
            FullSettings().Text(0, std::string(254, 'i')).Text(255, std::string(254, '\0')).bytes);
  EXPECT_EQ(window.platform.Messages(), std::vector<std::string>{});
}

struct SaveFailureCase {
  const char* name;
  Control field;
  const char* text;
};

const SaveFailureCase kSaveFailures[] = {
    {"RingPointsNotAWholeNumber", C::txt_n, "36O"},
    {"RingPointsWithAFraction", C::txt_n, "360.5"},
    {"EmptyBand", C::txt_rfa, ""},
    {"RadiusNotANumber", C::txt_rfs, "5 m"},
    {"GriddingRadiusNotANumber", C::txt_nearest, "x"},
};

class FormCloseFailure : public ::testing::TestWithParam<SaveFailureCase> {};

TEST_P(FormCloseFailure, ReportsAndLeavesTheOldFile) {
  const SaveFailureCase& c = GetParam();
  Window window;
  const std::string old = SettingsBytes().Text(0, "old.dat").bytes;
  WriteFile(window.SettingsPath(), old);
  FillAsFullRecord(window.platform);
  window.platform.SetText(c.field, c.text);

  EXPECT_TRUE(window.form.FormClose()) << "the window closes in any case";
  EXPECT_EQ(window.platform.Messages(),
            std::vector<std::string>{"message: Eror: Error by save config file"});
  EXPECT_EQ(ReadFile(window.SettingsPath()), old);
  EXPECT_EQ(window.dir.Entries(), std::vector<std::string>{"bin"});
}

INSTANTIATE_TEST_SUITE_P(Fields, FormCloseFailure, ::testing::ValuesIn(kSaveFailures),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FormClose, FileThatCannotBeWrittenIsReported) {
  Window window;
  std::filesystem::create_directory(window.SettingsPath());
  EXPECT_TRUE(window.form.FormClose());
  EXPECT_EQ(window.platform.Messages(),
            std::vector<std::string>{"message: Eror: Error by save config file"});
}

TEST(FormClose, RoundTripThroughANewWindow) {
  Window first;
  FillAsFullRecord(first.platform);
  first.platform.SetText(C::txt_rfs, "0.1");
  first.platform.SetText(C::txt_rfa, "123456789.125");
  first.form.FormClose();

  ScriptedPlatform platform;
  platform.set_executable_path(first.dir.File("bin/torvane"));
  TfrmMain second(platform);
  second.ReadCfg();
  const Expected shown =
      With(kFullRecordShown, {{C::txt_rfs, "0.1"}, {C::txt_rfa, "123456789.125"}});
  for (const auto& [control, text] : shown) {
    EXPECT_EQ(Shown(platform, control), text) << ControlName(control);
  }
}

// Closing while a run is in progress is refused: the run still uses the
// points, and the settings are written only by the close that follows.
TEST(FormClose, RefusedWhileARunIsInProgress) {
  Window window;
  WriteFile(window.dir.File("survey.dat"), "0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n");
  window.platform.SetText(C::txt_in, window.dir.File("survey.dat"));
  window.platform.SetText(C::txt_out, window.dir.File("table.dat"));
  window.platform.SetText(C::txt_rfs, "100");
  window.platform.SetText(C::txt_rfa, "10");
  int refused = 0;
  window.platform.on_events = [&] {
    if (window.form.Running()) refused += !window.form.FormClose();
  };

  window.form.btn_calcClick();

  EXPECT_GT(refused, 0);
  EXPECT_FALSE(std::filesystem::exists(window.SettingsPath()));
  EXPECT_TRUE(window.form.ResultsReady());
  EXPECT_EQ(window.form.Points().count(), 3);
  EXPECT_TRUE(window.form.FormClose());
  EXPECT_TRUE(std::filesystem::exists(window.SettingsPath()));
  EXPECT_EQ(window.form.Points().count(), 0) << "closing frees the points";
}

TEST(FormClose, ExitClosesTheWindow) {
  Window window;
  window.form.btn_exitClick();
  EXPECT_TRUE(window.platform.close_requested());
}

TEST(SettingsPath, BesideTheProgramOnlyWhenTheFileIsAlreadyThere) {
  TempDir dir;
  // A writable program folder without the file is no portable installation:
  // an installed program run as root must not write /usr/bin/torvane.cfg.
  EXPECT_EQ(SettingsFilePath(dir.File("torvane"), "/xdg", "/home/u"), "/xdg/torvane/torvane.cfg");
  WriteFile(dir.File("torvane.cfg"), "");
  EXPECT_EQ(SettingsFilePath(dir.File("torvane"), "/xdg", "/home/u"), dir.File("torvane.cfg"));
  EXPECT_EQ(SettingsFilePath(dir.File("torvane.exe"), "/xdg", "/home/u"), dir.File("torvane.cfg"));
}

TEST(SettingsPath, UnderTheUsersConfigFolderOtherwise) {
  const std::string program = "/nonexistent-folder/bin/torvane";
  EXPECT_EQ(SettingsFilePath(program, "/xdg", "/home/u"), "/xdg/torvane/torvane.cfg");
  EXPECT_EQ(SettingsFilePath(program, "", "/home/u"), "/home/u/.config/torvane/torvane.cfg");
  EXPECT_EQ(SettingsFilePath(program, "relative", "/home/u"),
            "/home/u/.config/torvane/torvane.cfg");
  EXPECT_EQ(SettingsFilePath("", "/xdg", "/home/u"), "/xdg/torvane/torvane.cfg");
}

TEST(SettingsPath, CloseCreatesTheConfigFolder) {
  TempDir dir;
  ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1), 0);
  ScriptedPlatform platform;
  platform.set_executable_path("/nonexistent-folder/bin/torvane");
  TfrmMain form(platform);
  form.ReadCfg();
  form.FormClose();
  EXPECT_EQ(ReadFile(dir.File("config/torvane/torvane.cfg")).size(), 820u);
  EXPECT_EQ(platform.Messages(), std::vector<std::string>{});
  unsetenv("XDG_CONFIG_HOME");
}

struct NumberCase {
  double value;
  char separator;
  const char* text;
};

TEST(FormatStoredNumber, GeneralFormatWithFifteenDigits) {
  const NumberCase cases[] = {
      {0, '.', "0"},
      {500, '.', "500"},
      {-42, ',', "-42"},
      {0.1, '.', "0.1"},
      {0.1 + 0.2, '.', "0.3"},
      {1234.5, ',', "1234,5"},
      {123456789012345.0, '.', "123456789012345"},
      {1234567890123456.0, '.', "1.23456789012346e+15"},
      {0.00001, '.', "1e-05"},
      {2.5e-7, ',', "2,5e-07"},
      // 15 digits would round beyond the largest double and not read back.
      {-1.7976931348623157e308, '.', "-1.7976931348623157e+308"},
      {1.79769313486231e308, ',', "1,79769313486231e+308"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(FormatStoredNumber(c.value, c.separator), c.text) << c.value;
  }
}

}  // namespace
}  // namespace torvane::testing
