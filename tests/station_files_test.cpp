// Station files as they come from the field and from data portals: a byte
// order mark, CSV with a header row, semicolons, quotes and station names,
// columns named by the header, an explicit decimal separator, and
// latitude/longitude projected through PROJ. Each table is compared with the
// one the plain numeric survey (or the survey projected beforehand) gives.

#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/Hvw.h"
#include "tests/ProgramRun.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Three stations: the first sees the other two at R = 100, D = 10; they see
// only the first.
constexpr const char* kPlainSurvey = "0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n";
const std::vector<std::string> kRing = {"--radius", "100", "--band", "10", "--quiet"};

// The table torvane-cli writes for `input` with `extra` flags; fails the test
// when the run fails. `skipped` is the note on the rows skipped it must give
// (with --quiet too), none when empty.
std::vector<std::string> TableOf(const TempDir& dir, const std::string& input,
                                 std::vector<std::string> extra, const std::string& env = "",
                                 const std::string& skipped = "") {
  const std::string output = dir.File("table.out");
  std::filesystem::remove(output);
  std::vector<std::string> args = {"--input", input, "--output", output};
  args.insert(args.end(), extra.begin(), extra.end());
  CliResult run = RunCli(dir, args, env);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  if (!skipped.empty()) {
    const std::string note = "torvane-cli: Note: " + input + ": " + skipped + "\n";
    const std::size_t at = run.err.find(note);
    EXPECT_NE(at, std::string::npos) << run.err;
    if (at != std::string::npos) run.err.erase(at, note.size());
  }
  // Nothing on stderr but, for a survey with points beyond every ring, the
  // note that counts them.
  if (run.err.find("N = 0 for ") != 0 && run.err.find("torvane-cli: Note: N = 0 for ") != 0) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  return run.exit_code == 0 ? Lines(ReadFile(output)) : std::vector<std::string>{};
}

// A reference line with its POINT field (the third, 10 characters wide after
// two fields and their spaces) replaced by a station name, right-aligned.
std::string WithLabel(const std::string& line, const std::string& label) {
  std::string field = label.size() < 10 ? std::string(10 - label.size(), ' ') + label : label;
  return line.substr(0, 22) + field + line.substr(32);
}

struct SameSurveyCase {
  const char* name;
  const char* file_name;
  std::string text;
  std::vector<std::string> flags;
  std::vector<std::string> labels;  // empty: numbered like the plain survey
  std::string skipped = "";          // the note on the rows skipped
};

const SameSurveyCase kSameSurvey[] = {
    {"PlainWithByteOrderMark",
     "s.dat",
     "\xEF\xBB\xBF"
     "0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n",
     {},
     {}},
    {"PlainByteOrderMarkCommentAndHeaderNames",
     "s.dat",
     "\xEF\xBB\xBF/ survey\r\nX Y Point H Cba\r\n0 0 1 0 10\r\n100 0 2 0 4\r\n0 100 3 0 6\r\n",
     {"--columns", "x,Y,POINT,cba"},
     {}},
    {"CsvHeaderNamesInAnyCase",
     "s.csv",
     "X,Y,Station,CBA\n0,0,1,10\n100,0,2,4\n0,100,3,6\n",
     {"--columns", "x,y,STATION,cba"},
     {}},
    {"CsvSemicolonsQuotesAndStationNames",
     "s.csv",
     "\"Name\";\"East\";\"North\";\"Bouguer; complete\"\r\n\"BV001\";0;0;10\r\n"
     "\"BV 002\";100.0;0;4\r\n\"B\"\"3\" ; 0 ; 1e2 ; 6\r\n",
     {"--columns", "east, north ,name,BOUGUER; COMPLETE"},
     {"BV001", "BV 002", "B\"3"}},
    {"CsvLettersPickByPosition",
     "s.csv",
     "Name;East;North;CBA\nBV001;0;0;10\nBV002;100;0;4\nBV003;0;100;6\n",
     {"--columns", "B,C,A,D"},
     {"BV001", "BV002", "BV003"}},
    {"CsvByteOrderMarkUpperCaseNameAndMixedIds",
     "s.CSV",
     "\xEF\xBB\xBFid,x,y,cba\nBV001,0,0,10\n2,100,0,4\n3.5,0,100,6\n",
     {"--columns", "x,y,id,cba"},
     {"BV001", "2", "3.5"}},
    {"CsvLongNameWidensItsLine",
     "s.csv",
     "p;x;y;g\nA station with a long name;0;0;10\nB;100;0;4\nC;0;100;6\n",
     {"--columns", "x,y,p,g"},
     {"A station with a long name", "B", "C"}},
    {"CsvRowsThatHoldNoPointSkipped",
     "s.csv",
     "x,y,p,g\n\njunk\n0,0,1,10\n,,,\n5,5,name,not a "
     "number\n100,0,2,4\n7,8\n0,100,3,6\n\"open,1,2,3\n",
     {"--columns", "x,y,p,g"},
     {},
     "5 rows skipped (2 wrong number of fields: lines 3, 8; 1 no X: line 5; 1 CBA not a number: "
     "line 6; 1 unclosed quote: line 10)"},
    {"CsvEmptyAndNotANumberFieldsCounted",
     "s.csv",
     "x,y,p,g\n0,0,1,10\n1,,9,3\n2,NaN,9,3\n100,0,2,4\n3,3,9,\n0,100,3,6\n4,4,9,-3O.0\n"
     "5,5,9,inf\n",
     {"--columns", "x,y,p,g"},
     {},
     "5 rows skipped (1 no Y: line 3; 1 no CBA: line 6; 1 CBA not a number: line 8; 2 NaN or "
     "infinite value: lines 4, 9)"},
    {"CsvPointsNumberedByDash",
     "s.csv",
     "x,y,g\n0,0,10\n100,0,4\n0,100,6\n",
     {"--columns", "x,y,-,g"},
     {}},
    {"PlainStationNames",
     "s.dat",
     "X Y NAME H CBA\nBV1 0 0 0 0\n0 0 BV001 0 10\n100 0 BV002 0 4\n0 100 BV003 0 6\n",
     {},
     {"BV001", "BV002", "BV003"}},
    {"PlainTextColumnNotSelected",
     "s.dat",
     "0 0 1 north 10\n100 0 2 east 4\n0 100 3 west 6\n",
     {},
     {}},
    {"PlainPointsNumberedByDash",
     "s.dat",
     "x y cba\n0 0 10\n100 0 4\n0 100 6\n",
     {"--columns", "A,B,-,C"},
     {}},
    {"PlainRaggedAndNotFiniteRowsCounted",
     "s.dat",
     "X Y P H CBA\n0 0 1 0 10\n7 7 7 0\n100 0 2 0 4\n8 8 8 0 nan\n9 9 9 0 9 9\n0 100 3 0 6\n",
     {},
     {},
     "3 rows skipped (2 wrong number of fields: lines 3, 6; 1 NaN or infinite value: line 5)"},
    {"CsvWithoutHeaderByLetters",
     "s.csv",
     "0,0,1,10\n100,0,2,4\n0,100,3,6\n",
     {"--columns", "A,B,C,D"},
     {}},
    {"CsvSemicolonsWithDecimalCommasAsked",
     "s.csv",
     "x;y;p;g\n0;0;1;10,0\n100,0;0;2;4\n0;100;3;6\n",
     {"--columns", "x,y,p,g", "--decimal-separator", ","},
     {}},
    {"CsvCommasKeepDecimalPointsWhateverIsAsked",
     "s.csv",
     "x,y,p,g\n0,0,1,10.0\n100.0,0,2,4\n0,100,3,6\n",
     {"--columns", "x,y,p,g", "--decimal-separator", ","},
     {}},
};

class SameSurvey : public ::testing::TestWithParam<SameSurveyCase> {};

TEST_P(SameSurvey, GivesThePlainSurveysTable) {
  const SameSurveyCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("plain.dat"), kPlainSurvey);
  const std::vector<std::string> reference = TableOf(dir, dir.File("plain.dat"), kRing);
  ASSERT_EQ(reference.size(), 4u);
  WriteFile(dir.File(c.file_name), c.text);
  std::vector<std::string> flags = kRing;
  flags.insert(flags.end(), c.flags.begin(), c.flags.end());
  const std::vector<std::string> table =
      TableOf(dir, dir.File(c.file_name), flags, "", c.skipped);
  ASSERT_EQ(table.size(), reference.size());
  EXPECT_EQ(table[0], reference[0]);
  for (std::size_t i = 1; i < table.size(); ++i) {
    const std::string expected =
        c.labels.empty() ? reference[i] : WithLabel(reference[i], c.labels[i - 1]);
    EXPECT_EQ(table[i], expected) << "line " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, SameSurvey, ::testing::ValuesIn(kSameSurvey),
                         [](const auto& row) { return std::string(row.param.name); });

// The window's lists pick CSV columns by position, and the table prints the
// names as the file gives them.
TEST(StationFiles, WindowListsPickCsvColumnsByPosition) {
  TempDir dir;
  WriteFile(dir.File("plain.dat"), kPlainSurvey);
  const std::vector<std::string> reference = TableOf(dir, dir.File("plain.dat"), kRing);
  ASSERT_EQ(reference.size(), 4u);
  WriteFile(dir.File("s.csv"), "station;x;y;cba\nA1;0;0;10\nA2;100;0;4\nA3;0;100;6\n");
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, dir.File("s.csv"));
  platform.SetText(Control::txt_out, dir.File("window.out"));
  platform.SetText(Control::txt_rfs, "100");
  platform.SetText(Control::txt_rfa, "10");
  platform.SetItemIndex(Control::cmb_gx, 1);
  platform.SetItemIndex(Control::cmb_gy, 2);
  platform.SetItemIndex(Control::cmb_point, 0);
  platform.SetItemIndex(Control::cmb_uba, 3);
  form.btn_calcClick();
  ASSERT_TRUE(form.ResultsReady());
  const std::vector<std::string> table = Lines(ReadFile(dir.File("window.out")));
  ASSERT_EQ(table.size(), 4u);
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_EQ(table[i], WithLabel(reference[i], std::string(1, 'A') + std::to_string(i)));
  }
}

// The decimal separator given on the command line holds for the point file
// and the numbers given there, whatever the locale.
struct SeparatorCase {
  const char* name;
  const char* environment;
  const char* separator;
  const char* survey;
  const char* radius;
  int exit_code;
};

const SeparatorCase kSeparators[] = {
    // A line written with '.' holds no point where ',' is the separator.
    {"CommaUnderTheCLocale", "LC_ALL=C", ",",
     "0 0 1 0 10,0\n100,0 0 2 0 4\n0 100,0 3 0 6\n1.5 0 4 0 9\n", "100,0", 0},
    {"PointUnderAGermanLocale", "LC_ALL=de_DE.UTF-8", ".",
     "0 0 1 0 10.0\n100.0 0 2 0 4\n0 100.0 3 0 6\n", "100.0", 0},
    // '.' is read under every locale and with every separator asked for.
    {"PointRadiusWithCommaAsked", "LC_ALL=C", ",", kPlainSurvey, "100.0", 0},
    {"CommaRadiusWithPointAsked", "LC_ALL=de_DE.UTF-8", ".", kPlainSurvey, "100,0", 2},
    {"NoOtherSeparator", "LC_ALL=C", ";", kPlainSurvey, "100", 2},
};

class DecimalSeparator : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(DecimalSeparator, OverridesTheLocale) {
  const SeparatorCase& c = GetParam();
  if (std::string(c.environment).find("de_DE") != std::string::npos &&
      std::system("locale -a 2>/dev/null | grep -qi '^de_DE.utf-\\?8$'") != 0) {
    GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  }
  TempDir dir;
  WriteFile(dir.File("plain.dat"), kPlainSurvey);
  const std::vector<std::string> reference = TableOf(dir, dir.File("plain.dat"), kRing, "LC_ALL=C");
  WriteFile(dir.File("s.dat"), c.survey);
  const CliResult run =
      RunCli(dir,
             {"--input", dir.File("s.dat"), "--output", dir.File("s.out"), "--radius", c.radius,
              "--band", "10", "--decimal-separator", c.separator, "--quiet"},
             c.environment);
  ASSERT_EQ(run.exit_code, c.exit_code) << run.err;
  if (c.exit_code != 0) {
    EXPECT_FALSE(std::filesystem::exists(dir.File("s.out")));
    return;
  }
  EXPECT_EQ(Lines(ReadFile(dir.File("s.out"))), reference);
}

INSTANTIATE_TEST_SUITE_P(Flags, DecimalSeparator, ::testing::ValuesIn(kSeparators),
                         [](const auto& row) { return std::string(row.param.name); });

// Refusals: a name the header does not hold ends the run (exit 1) naming it
// and the file; a CRS PROJ does not know, or of the wrong kind, and a bad
// column list are usage errors naming what was given. No table is written.
struct RefusalCase {
  const char* name;
  std::vector<std::string> flags;
  int exit_code;
  std::vector<std::string> said;  // parts of stderr
};

const RefusalCase kRefusals[] = {
    {"NameNotInTheHeader",
     {"--columns", "x,y,station,gravty"},
     1,
     {"'gravty'", "s.csv", "X, Y, Station, CBA"}},
    {"TooFewColumns", {"--columns", "x,y"}, 2, {"--columns", "'x,y'"}},
    {"EmptyColumnName", {"--columns", "x,,station,cba"}, 2, {"--columns"}},
    {"UnknownCrs", {"--crs", "FOO"}, 2, {"--crs", "'FOO'"}},
    {"UnknownEpsgCode", {"--crs", "EPSG:99999"}, 2, {"'EPSG:99999'"}},
    {"VerticalCrs", {"--crs", "EPSG:5773"}, 2, {"'EPSG:5773'"}},
    {"UnknownWorkCrs",
     {"--crs", "EPSG:4326", "--work-crs", "utm 35"},
     2,
     {"--work-crs", "'utm 35'"}},
    {"GeographicWorkCrs", {"--crs", "EPSG:4326", "--work-crs", "EPSG:4326"}, 2, {"--work-crs"}},
    {"WorkCrsWithoutCrs", {"--work-crs", "EPSG:32735"}, 2, {"--work-crs", "--crs"}},
    {"LatitudeBeyondThePole",
     {"--crs", "EPSG:4326", "--columns", "x,y,station,cba"},
     1,
     {"Point 3 at (0.000000, 100.000000)", "EPSG:4326"}},
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, NamesWhatWasGiven) {
  const RefusalCase& c = GetParam();
  TempDir dir;
  WriteFile(dir.File("s.csv"), "X,Y,Station,CBA\n0,0,1,10\n100,0,2,4\n0,100,3,6\n");
  std::vector<std::string> args = {
      "--input", dir.File("s.csv"), "--output", dir.File("s.out"), "--radius",
      "100",     "--band",          "10"};
  args.insert(args.end(), c.flags.begin(), c.flags.end());
  const CliResult run = RunCli(dir, args);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  for (const std::string& part : c.said) {
    EXPECT_NE(run.err.find(part), std::string::npos) << part << " in " << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("s.out")));
}

INSTANTIATE_TEST_SUITE_P(Flags, Refusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

bool HasCs2cs() { return std::system("command -v cs2cs >/dev/null 2>&1") == 0; }

// The stations' latitude and longitude projected with cs2cs into `crs`, as a
// plain X Y POINT H CBA survey (point k numbered k).
void ProjectWithCs2cs(const TempDir& dir, const std::string& stations_csv, const std::string& crs,
                      const std::string& survey) {
  std::string lonlat;
  const std::vector<std::string> rows = Lines(ReadFile(stations_csv));
  std::vector<std::string> cba;
  for (std::size_t i = 1; i < rows.size(); ++i) {  // station,latitude,longitude,elevation,cba
    std::vector<std::string> f;
    std::stringstream row(rows[i]);
    for (std::string field; std::getline(row, field, ',');) f.push_back(field);
    lonlat += f[1] + " " + f[2] + "\n";
    cba.push_back(f[4]);
  }
  WriteFile(dir.File("latlon.txt"), lonlat);
  const std::string command = "cs2cs -f %.9f EPSG:4326 " + crs + " < " + dir.File("latlon.txt") +
                              " > " + dir.File("projected.txt");
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<std::string> projected = Lines(ReadFile(dir.File("projected.txt")));
  ASSERT_EQ(projected.size(), cba.size());
  std::string text;
  for (std::size_t i = 0; i < projected.size(); ++i) {
    const std::vector<std::string> en = Words(projected[i]);
    text += en[0] + " " + en[1] + " " + std::to_string(i + 1) + " 0 " + cba[i] + "\n";
  }
  WriteFile(survey, text);
}

// The sample stations (latitude/longitude, named columns, station names)
// give the same N and residuals as the same stations projected beforehand
// with PROJ's cs2cs into the UTM zone of their centre, 35 S, however the
// CRS is written; the table keeps the file's degrees with 6 decimals.
TEST(StationFiles, LatitudeLongitudeAsIfProjectedBeforehand) {
  if (!HasCs2cs()) GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
  TempDir dir;
  const std::string stations = SourceDir() + "/data/sample_stations.csv";
  ProjectWithCs2cs(dir, stations, "EPSG:32735", dir.File("projected.dat"));
  const std::vector<std::string> reference =
      TableOf(dir, dir.File("projected.dat"), {"--radius", "500", "--band", "100", "--quiet"});
  const std::vector<std::string> rows = Lines(ReadFile(stations));
  ASSERT_EQ(reference.size(), rows.size());
  for (const std::vector<std::string>& crs :
       {std::vector<std::string>{"--crs", "EPSG:4326"},
        {"--crs", "+proj=longlat +datum=WGS84", "--work-crs", "EPSG:32735"},
        {"--crs", "WGS 84", "--work-crs", "+proj=utm +zone=35 +south +datum=WGS84"}}) {
    std::vector<std::string> flags = {"--radius",
                                      "500",
                                      "--band",
                                      "100",
                                      "--quiet",
                                      "--columns",
                                      "longitude,latitude,station,cba"};
    flags.insert(flags.end(), crs.begin(), crs.end());
    const std::vector<std::string> table = TableOf(dir, stations, flags);
    ASSERT_EQ(table.size(), reference.size()) << crs[1];
    int ringed = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
      const std::vector<std::string> got = Words(table[i]);
      const std::vector<std::string> want = Words(reference[i]);
      ASSERT_EQ(got.size(), 6u) << table[i];
      EXPECT_EQ(got[4], want[4]) << crs[1] << " line " << i;  // residual
      EXPECT_EQ(got[5], want[5]) << crs[1] << " line " << i;  // N
      ringed += got[5] != "0";
      std::vector<std::string> f;
      std::stringstream row(rows[i]);
      for (std::string field; std::getline(row, field, ',');) f.push_back(field);
      EXPECT_EQ(got[2], f[0]);
      EXPECT_NEAR(std::stod(got[0]), std::stod(f[2]), 5.1e-7) << "longitude, line " << i;
      EXPECT_NEAR(std::stod(got[1]), std::stod(f[1]), 5.1e-7) << "latitude, line " << i;
      EXPECT_EQ(got[0].size() - got[0].find('.') - 1, 6u) << got[0];
    }
    EXPECT_GT(ringed, static_cast<int>(table.size()) / 2) << "most stations see a ring";
  }
}

// Grid mode samples the grid in the work CRS: a transverse Mercator whose
// false origin puts the sample stations back on the sample survey's metres
// (UTM 35 S less 540000 m east and 7230000 m north, as tools/make_stations.py
// placed them) samples data/sample_cba.grd where the sample survey does.
TEST(StationFiles, GridModeInTheWorkCrs) {
  TempDir dir;
  const std::string grid = SourceDir() + "/data/sample_cba.grd";
  const std::vector<std::string> reference = TableOf(
      dir, SourceDir() + "/data/sample_survey.dat", {"--radius", "500", "--grid", grid, "--quiet"});
  const std::vector<std::string> table = TableOf(
      dir, SourceDir() + "/data/sample_stations.csv",
      {"--radius", "500", "--grid", grid, "--quiet", "--columns", "longitude,latitude,station,cba",
       "--crs", "EPSG:4326", "--work-crs",
       "+proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=-40000 +y_0=2770000 +datum=WGS84"});
  ASSERT_EQ(table.size(), reference.size());
  ASSERT_GT(table.size(), 1u);
  for (std::size_t i = 1; i < table.size(); ++i) {
    const std::vector<std::string> got = Words(table[i]);
    const std::vector<std::string> want = Words(reference[i]);
    EXPECT_EQ(got[5], want[5]) << "N, line " << i;
    // The stations' degrees hold their places to a millimetre.
    EXPECT_NEAR(std::stod(got[4]), std::stod(want[4]), 1e-4) << "line " << i;
  }
}

// A projected CRS without a work CRS needs no transformation: the table is
// the one of a run without --crs, byte for byte.
TEST(StationFiles, ProjectedCrsLeavesTheSurveyAsItIs) {
  TempDir dir;
  const std::string sample = SourceDir() + "/data/sample_survey.dat";
  const std::vector<std::string> plain =
      TableOf(dir, sample, {"--radius", "500", "--band", "100", "--quiet"});
  const std::vector<std::string> projected =
      TableOf(dir, sample, {"--radius", "500", "--band", "100", "--quiet", "--crs", "EPSG:32735"});
  ASSERT_GT(plain.size(), 1u);
  EXPECT_EQ(projected, plain);
}

// Raw station files as their projects publish them give the ring counts of
// the same stations in the shared survey files, row by row: the Bushveld
// stations (Fatiando: latitude, longitude, elevation, gravity), there
// projected with pyproj into UTM 35 S, and the Yunnan stations (geoist: 21
// columns), whose survey keeps the file's own Gauss-Kruger X and Y.
struct InteropCase {
  const char* name;
  const char* raw;     // in stations_raw/
  const char* survey;  // X Y POINT H CBA
  std::vector<std::string> flags;
  std::size_t latitude, longitude;  // field numbers in the raw file
  std::size_t stations;
};

const InteropCase kInterop[] = {
    {"BushveldFatiando",
     "fatiando-2021-gsh_bushveld_gravity.csv",
     "bushveld_cba.dat",
     {"--radius", "5000", "--band", "1000", "--crs", "EPSG:4326", "--columns",
      "LONGITUDE,Latitude,elevation", "--gravity-column", "gravity", "--height-column",
      "elevation"},
     0,
     1,
     3877},
    {"YunnanGeoist",
     "geoist_dataset_gravity.csv",
     "yunnan_cba.dat",
     {"--radius", "2000", "--band", "500", "--crs", "EPSG:4326", "--work-crs", "EPSG:2508",
      "--columns", "longitude,latitude,Point,C_gravbg1"},
     2,
     3,
     640},
};

class InteropStations : public ::testing::TestWithParam<InteropCase> {};

TEST_P(InteropStations, GiveTheSurveysRingCounts) {
  const InteropCase& c = GetParam();
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  TempDir dir;
  const std::string raw = InteropDir() + "/stations_raw/" + c.raw;
  std::vector<std::string> ring(c.flags.begin(), c.flags.begin() + 4);
  ring.push_back("--quiet");
  const std::vector<std::string> reference = TableOf(dir, InteropDir() + "/" + c.survey, ring);
  std::vector<std::string> flags = c.flags;
  flags.push_back("--quiet");
  const std::vector<std::string> table = TableOf(dir, raw, flags);
  const std::vector<std::string> rows = Lines(ReadFile(raw));
  ASSERT_EQ(table.size(), c.stations + 1);
  ASSERT_EQ(reference.size(), table.size());
  int ringed = 0;
  for (std::size_t i = 1; i < table.size(); ++i) {
    const std::vector<std::string> got = Words(table[i]);
    std::vector<std::string> f;
    std::stringstream row(rows[i]);
    for (std::string field; std::getline(row, field, ',');) f.push_back(field);
    EXPECT_EQ(got[5], Words(reference[i])[5]) << "N, line " << i;
    ringed += got[5] != "0";
    EXPECT_DOUBLE_EQ(std::stod(got[0]), std::stod(f[c.longitude])) << "line " << i;
    EXPECT_DOUBLE_EQ(std::stod(got[1]), std::stod(f[c.latitude])) << "line " << i;
  }
  EXPECT_GT(ringed, static_cast<int>(c.stations) / 2);
}

INSTANTIATE_TEST_SUITE_P(Files, InteropStations, ::testing::ValuesIn(kInterop),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
