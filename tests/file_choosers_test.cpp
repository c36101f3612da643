// The three "..." buttons: what each dialog is shown with, what a choice
// changes, and the output name proposed for a chosen point file.

#include <gtest/gtest.h>

#include "app/FileChoosers.h"
#include "app/OpenedFile.h"
#include "app/Hvw.h"
#include "tests/ScriptedPlatform.h"

namespace torvane::testing {
namespace {

using C = Control;
using Answer = ScriptedPlatform::DialogAnswer;

// Every kind the readers take first, then the seed's single kinds.
constexpr const char* kInputFilter =
    "Survey files (*.dat *.csv *.txt *.xyz)|*.dat;*.csv;*.txt;*.xyz|"
    "Surfer dat files (*.dat)|*.dat|All files (*.*)|*.*";
constexpr const char* kGridFilter =
    "Grid files (*.grd *.asc *.tif *.tiff *.nc)|*.grd;*.asc;*.tif;*.tiff;*.nc|"
    "Surfer or Geosoft DOS grid (*.grd)|*.grd|All files (*.*)|*.*";
constexpr const char* kOutputFilter =
    "Surfer DAT files (*.dat)|*.dat|Geosoft XYZ files (*.xyz)|*.xyz|All files (*.*)|*.*";

struct ProposalCase {
  const char* name;
  const char* chosen;
  const char* proposed;
};

const ProposalCase kProposals[] = {
    {"ExtensionReplaced", "C:\\survey\\area7.xyz", "C:\\survey\\area7_torvane.dat"},
    {"DotInAFolderIsNoExtension", "C:\\data.old\\points", "C:\\data.old\\points_torvane.dat"},
    {"OnlyTheLastExtensionGoes", "C:\\a\\b.c.dat", "C:\\a\\b.c_torvane.dat"},
    {"DotBeforeADriveColonIsNoExtension", "a.b:points", "a.b:points_torvane.dat"},
    {"SlashPath", "/home/ana/gravity/area7.dat", "/home/ana/gravity/area7_torvane.dat"},
    {"DotInASlashFolderIsNoExtension", "/srv/data.v2/points", "/srv/data.v2/points_torvane.dat"},
    {"TrailingDot", "/srv/points.", "/srv/points_torvane.dat"},
};

class InputChooserProposal : public ::testing::TestWithParam<ProposalCase> {};

TEST_P(InputChooserProposal, SetsInputAndProposesOutput) {
  const ProposalCase& c = GetParam();
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(C::txt_in, "old.dat");
  platform.SetText(C::txt_out, "kept only on cancel.dat");
  platform.dialog_answers.push_back(Answer{c.chosen, 1});

  form.btn_inClick();

  EXPECT_EQ(platform.Text(C::txt_in), c.chosen);
  EXPECT_EQ(platform.Text(C::txt_out), c.proposed);
  EXPECT_EQ(ProposedOutputName(c.chosen), c.proposed);
  ASSERT_EQ(platform.dialogs_shown.size(), 1u);
  const auto& [dialog, state] = platform.dialogs_shown[0];
  EXPECT_EQ(dialog, FileDialog::OpenDialog1);
  EXPECT_EQ(state.file_name, "old.dat") << "the dialog starts from the field's text";
  EXPECT_EQ(state.filter, kInputFilter);
  EXPECT_EQ(state.default_extension, "dat");
  EXPECT_EQ(platform.Messages(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Names, InputChooserProposal, ::testing::ValuesIn(kProposals),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FileChoosers, CancelChangesNoField) {
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(C::txt_in, "in.dat");
  platform.SetText(C::txt_out, "out.dat");
  platform.SetText(C::txt_grd, "cba.grd");
  form.btn_inClick();
  form.btn_grdClick();
  form.btn_outClick();
  EXPECT_EQ(platform.CountOf("dialog: OpenDialog1"), 2);
  EXPECT_EQ(platform.CountOf("dialog: SaveDialog1"), 1);
  EXPECT_EQ(platform.Text(C::txt_in), "in.dat");
  EXPECT_EQ(platform.Text(C::txt_out), "out.dat");
  EXPECT_EQ(platform.Text(C::txt_grd), "cba.grd");
}

// The grid and output choosers set their own field and nothing else.
struct SingleFieldChooser {
  const char* name;
  void (TfrmMain::*click)();
  Control field;
  FileDialog dialog;
  const char* filter;
  const char* default_extension;
};

const SingleFieldChooser kSingleFieldChoosers[] = {
    {"Grid", &TfrmMain::btn_grdClick, C::txt_grd, FileDialog::OpenDialog1, kGridFilter, "grd"},
    {"Output", &TfrmMain::btn_outClick, C::txt_out, FileDialog::SaveDialog1, kOutputFilter, "dat"},
};

class ChooserSetsItsField : public ::testing::TestWithParam<SingleFieldChooser> {};

TEST_P(ChooserSetsItsField, AndNoOther) {
  const SingleFieldChooser& c = GetParam();
  ScriptedPlatform platform;
  TfrmMain form(platform);
  const C fields[] = {C::txt_in, C::txt_out, C::txt_grd};
  for (const C field : fields) platform.SetText(field, ControlName(field) + ".old");
  platform.dialog_answers.push_back(Answer{"/chosen/file.xyz", 2});

  (form.*c.click)();

  for (const C field : fields) {
    EXPECT_EQ(platform.Text(field),
              field == c.field ? "/chosen/file.xyz" : ControlName(field) + ".old")
        << ControlName(field);
  }
  const auto& [dialog, state] = platform.dialogs_shown.at(0);
  EXPECT_EQ(dialog, c.dialog);
  EXPECT_EQ(state.file_name, ControlName(c.field) + ".old");
  EXPECT_EQ(state.filter, c.filter);
  EXPECT_EQ(state.default_extension, c.default_extension);
}

INSTANTIATE_TEST_SUITE_P(Choosers, ChooserSetsItsField, ::testing::ValuesIn(kSingleFieldChoosers),
                         [](const auto& row) { return std::string(row.param.name); });

// The open dialog keeps its chosen filter between the point file and grid
// choosers until the output chooser sets it back to the first; the save
// dialog keeps the filter chosen last.
TEST(FileChoosers, FilterChoicesKeptAndReset) {
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.dialog_answers = {Answer{"/a/in.txt", 2}, Answer{"/a/g.grd", 2}, Answer{"/a/out.xyz", 3},
                             std::nullopt, std::nullopt};
  form.btn_inClick();
  form.btn_grdClick();
  form.btn_outClick();
  form.btn_inClick();
  form.btn_outClick();
  std::vector<int> shown_index;
  for (const auto& [dialog, state] : platform.dialogs_shown)
    shown_index.push_back(state.filter_index);
  EXPECT_EQ(shown_index, (std::vector<int>{1, 2, 1, 1, 3}));
  EXPECT_EQ(platform.dialogs_shown[3].second.file_name, "/a/in.txt");
  EXPECT_EQ(platform.dialogs_shown[4].second.file_name, "/a/out.xyz");
}

TEST(FileChoosers, UseGridHidesTheBandAndKeepsItsValue) {
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(C::txt_rfa, "25");
  platform.SetChecked(C::chb_grd, true);
  form.chb_grdClick();
  EXPECT_FALSE(platform.Visible(C::txt_rfa));
  platform.SetChecked(C::chb_grd, false);
  form.chb_grdClick();
  EXPECT_TRUE(platform.Visible(C::txt_rfa));
  EXPECT_EQ(platform.Text(C::txt_rfa), "25");
  EXPECT_EQ(platform.log, (std::vector<std::string>{"visible: txt_rfa=0", "visible: txt_rfa=1"}));
}

// Typing the point file's name proposes the table's while the table's name
// is empty or still the one proposed; a name the user chose stays.
TEST(FileChoosers, TypingTheInputProposesTheOutput) {
  struct Case {
    const char* before;
    const char* now;
    const char* output;
    const char* expected;
  };
  const Case cases[] = {
      {"", "a", "", "a_torvane.dat"},
      {"a", "ab.csv", "a_torvane.dat", "ab_torvane.dat"},
      {"a", "ab", "mine.dat", "mine.dat"},
      {"ab", "", "ab_torvane.dat", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.now);
    ScriptedPlatform platform;
    platform.SetText(C::txt_out, c.output);
    ProposeOutputWhileTyping(platform, c.before, c.now);
    EXPECT_EQ(platform.Text(C::txt_out), c.expected);
  }
}

// A file from outside the window goes where its content says: a grid of any
// format we read to the grid field, anything else to the survey's.
TEST(FileChoosers, OpenedFilesGoToTheirField) {
  const std::string data = std::string(TORVANE_SOURCE_DIR) + "/tests/data/";
  for (const char* grid : {"gdal_gs7bg.grd", "gdal_gsbg.grd", "gdal_gsag.grd", "gdal_aaigrid.asc",
                           "gdal_gtiff.tif", "gdal_netcdf.nc"}) {
    SCOPED_TRACE(grid);
    ScriptedPlatform platform;
    EXPECT_EQ(PutOpenedFile(platform, data + grid, "_torvane.dat"), OpenedAs::kGrid);
    EXPECT_EQ(platform.Text(C::txt_grd), data + grid);
    EXPECT_EQ(platform.Text(C::txt_in), "");
  }
  ScriptedPlatform platform;
  const std::string survey = std::string(TORVANE_SOURCE_DIR) + "/data/sample_stations.csv";
  EXPECT_EQ(PutOpenedFile(platform, survey, "_torvane.csv"), OpenedAs::kSurvey);
  EXPECT_EQ(platform.Text(C::txt_in), survey);
  EXPECT_EQ(platform.Text(C::txt_out),
            std::string(TORVANE_SOURCE_DIR) + "/data/sample_stations_torvane.csv");
  EXPECT_EQ(PutOpenedFile(platform, data + "gdal_source.xyz", "_torvane.dat"), OpenedAs::kSurvey);
}

}  // namespace
}  // namespace torvane::testing
