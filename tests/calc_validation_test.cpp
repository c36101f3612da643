// Calc's checks, in their order: the first failing one shows its message,
// moves the focus and leaves the buttons and the data as they were.

#include <gtest/gtest.h>

#include "app/Hvw.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

struct Fields {
  std::string in, out, grid, radius = "100", band = "10";
  bool grid_mode = false;
  std::string ring_points = "360";
};

struct ValidationCase {
  const char* name;
  Fields fields;
  const char* message;  // the one message shown
  Control focus;
};

const ValidationCase kCases[] = {
    {"BothNamesEmptyReportsOnlyInput", {"", "", "", "100", "10"},
     "info: Input file name is required field.", Control::txt_in},
    {"OutputEmpty", {"in.dat", "", "", "100", "10"}, "info: Output file name is required field.",
     Control::txt_out},
    {"SameNames", {"in.dat", "in.dat", "", "100", "10"},
     "info: Input and output file name must not be the same.", Control::txt_out},
    {"GridModeWithoutGrid", {"in.dat", "out.dat", "", "100", "10", true},
     "info: Grid file name is required field.", Control::txt_grd},
    {"GridModeWithoutGridAndBadRingPoints", {"in.dat", "out.dat", "", "100", "10", true, "0"},
     "info: Grid file name is required field.", Control::txt_grd},
    {"RingPointsZero", {"in.dat", "out.dat", "g.grd", "100", "10", true, "0"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsNegative", {"in.dat", "out.dat", "g.grd", "100", "10", true, "-4"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsFraction", {"in.dat", "out.dat", "g.grd", "100", "10", true, "1.5"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsText", {"in.dat", "out.dat", "g.grd", "100", "10", true, "many"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsEmpty", {"in.dat", "out.dat", "g.grd", "100", "10", true, ""},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsBeyondInt32", {"in.dat", "out.dat", "g.grd", "100", "10", true, "4294967296"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"RingPointsCheckedBeforeRadius", {"in.dat", "out.dat", "g.grd", "abc", "10", true, "x"},
     "info: Number of points must be a whole number greater than 0", Control::txt_n},
    {"BandAboveRadius", {"in.dat", "out.dat", "", "100", "100.5"},
     "info: Depth must be <= than radius for search.", Control::txt_rfa},
    {"RadiusNotANumber", {"in.dat", "out.dat", "", "abc", "10"},
     "info: 'abc' is not a valid floating point value", Control::txt_in},
};

class CalcValidation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(CalcValidation, ShowsOneMessageAndStartsNoRun) {
  const ValidationCase& c = GetParam();
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, c.fields.in);
  platform.SetText(Control::txt_out, c.fields.out);
  platform.SetText(Control::txt_grd, c.fields.grid);
  platform.SetText(Control::txt_rfs, c.fields.radius);
  platform.SetText(Control::txt_rfa, c.fields.band);
  platform.SetChecked(Control::chb_grd, c.fields.grid_mode);
  platform.SetText(Control::txt_n, c.fields.ring_points);

  form.btn_calcClick();

  EXPECT_EQ(platform.Messages(), std::vector<std::string>{c.message});
  EXPECT_EQ(platform.focus(), c.focus);
  EXPECT_EQ(platform.CountOf("enabled: btn_calc=0"), 0) << "the buttons must not change";
  EXPECT_EQ(platform.CountOf("events"), 0) << "no run may start";
  EXPECT_TRUE(platform.Enabled(Control::btn_calc));
  EXPECT_FALSE(form.ResultsReady());
  EXPECT_TRUE(form.Request().stations.path.empty());
}

INSTANTIATE_TEST_SUITE_P(Checks, CalcValidation, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The checks that pass: names differing only in letter case, a band equal to
// the radius, and grid mode, where the band is neither read nor compared.
TEST(CalcValidationPasses, CaseOnlyDifferenceEqualBandAndGridModeBand) {
  TempDir dir;
  WriteFile(dir.File("a.dat"), "0 0 1 0 10\n100 0 2 0 4\n");
  struct Passing {
    std::string out, band;
    bool grid_mode;
  };
  for (const Passing& p : {Passing{dir.File("A.dat"), "100", false},
                           Passing{dir.File("b.dat"), "100", false}}) {
    ScriptedPlatform platform;
    TfrmMain form(platform);
    platform.SetText(Control::txt_in, dir.File("a.dat"));
    platform.SetText(Control::txt_out, p.out);
    platform.SetText(Control::txt_rfs, "100");
    platform.SetText(Control::txt_rfa, p.band);
    form.btn_calcClick();
    EXPECT_TRUE(platform.Messages().empty()) << p.out;
    EXPECT_TRUE(form.ResultsReady()) << p.out;
    EXPECT_DOUBLE_EQ(form.Request().ring.band, 100.0);
    EXPECT_DOUBLE_EQ(form.Request().GriddingRadius(), 100.0);
    EXPECT_DOUBLE_EQ(form.Request().GriddingRadius(), 100.0);
  }
}

TEST(CalcValidationPasses, GridModeIgnoresTheBandField) {
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, "/nonexistent/in.dat");
  platform.SetText(Control::txt_out, "/nonexistent/out.dat");
  platform.SetText(Control::txt_grd, "/nonexistent/cba.grd");
  platform.SetChecked(Control::chb_grd, true);
  platform.SetText(Control::txt_rfs, "100");
  platform.SetText(Control::txt_rfa, "not a number");
  form.btn_calcClick();
  // The checks pass; the run starts and ends at the missing point file.
  EXPECT_EQ(platform.Messages(), std::vector<std::string>{"info: Cannot open input data file"});
  EXPECT_DOUBLE_EQ(form.Request().ring.band, 0.0);
}

struct NumberCase {
  const char* name;
  char separator;
  const char* text;
  const char* message;  // empty when the field passes
};

const NumberCase kNumberCases[] = {
    {"Empty", '.', "", "message: Error: Parameter is required"},
    {"CommaWherePointIsTheSeparator", '.', "1,5", "message: Error: 1,5 Is not a number"},
    {"Zero", '.', "0", "message: Error: Radius must be greater than 0"},
    {"Negative", '.', "-3", "message: Error: Radius must be greater than 0"},
    {"Letters", '.', "12m", "message: Error: 12m Is not a number"},
    {"PointDecimal", '.', "1.5", ""},
    {"CommaDecimal", ',', "1,5", ""},
    // '.' is read under every locale.
    {"PointWhereCommaIsTheSeparator", ',', "1.5", ""},
    {"Exponent", '.', "2.5E2", ""},
};

class CheckNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CheckNumberTest, MessageAndFocusOnEveryNumericField) {
  const NumberCase& c = GetParam();
  for (const Control field : {Control::txt_rfs, Control::txt_rfa, Control::txt_nearest}) {
    ScriptedPlatform platform(c.separator);
    TfrmMain form(platform);
    platform.SetFocus(Control::txt_out);
    platform.log.clear();
    platform.SetText(field, c.text);
    const bool passed = form.CheckNumber(field);
    EXPECT_EQ(passed, std::string(c.message).empty());
    if (passed) {
      EXPECT_TRUE(platform.log.empty());
    } else {
      EXPECT_EQ(platform.log, (std::vector<std::string>{c.message, "focus: " + ControlName(field)}));
    }
    EXPECT_EQ(platform.Text(field), c.text) << "the text stays as typed";
  }
}

INSTANTIATE_TEST_SUITE_P(Fields, CheckNumberTest, ::testing::ValuesIn(kNumberCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
