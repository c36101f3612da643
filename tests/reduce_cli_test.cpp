// torvane-cli reduce and absolute gravity in the residual run, end to end:
// the published free-air anomaly of a real survey, stations in a projected
// CRS (their latitudes through PROJ, checked against cs2cs), the residual of
// the reduced Bouguer anomaly, and the rows and columns a user gets wrong.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// A CSV file without quotes: its rows as maps from the header's names.
std::vector<std::map<std::string, std::string>> CsvRows(const std::string& path) {
  std::istringstream in(ReadFile(path));
  std::vector<std::map<std::string, std::string>> rows;
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (line.back() == ',') fields.emplace_back();
    if (names.empty()) {
      names = fields;
      continue;
    }
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < names.size() && i < fields.size(); ++i) row[names[i]] = fields[i];
    rows.push_back(row);
  }
  return rows;
}

double Number(const std::map<std::string, std::string>& row, const std::string& name) {
  return std::stod(row.at(name));
}

TEST(ReduceCli, YunnanFreeAirMatchesThePublishedColumn) {
  const std::string interop = InteropDir();
  const std::string input = interop + "/stations_raw/geoist_dataset_gravity.csv";
  if (interop.empty() || !std::filesystem::exists(input)) GTEST_SKIP() << "no Yunnan survey";
  TempDir dir;
  const std::string output = dir.File("yunnan.csv");
  const CliResult run =
      RunCli(dir, {"reduce", "--input", input, "--output", output, "--crs", "EPSG:4326",
                   "--columns", "longitude,latitude,Point,absgrav", "--height-column",
                   "elevation", "--free-air-gradient", "0.3086", "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto published = CsvRows(input);
  const auto reduced = CsvRows(output);
  ASSERT_EQ(reduced.size(), published.size());
  int compared = 0;
  for (std::size_t i = 0; i < published.size(); ++i) {
    if (published[i].at("freeair").empty()) continue;
    EXPECT_NEAR(Number(reduced[i], "free_air"), Number(published[i], "freeair"), 0.01) << i;
    EXPECT_EQ(Number(reduced[i], "gravity"), Number(published[i], "absgrav")) << i;
    ++compared;
  }
  EXPECT_GT(compared, 600);
}

// The shared Bushveld survey file was reduced from the same raw stations
// with GRS80, 0.3086 mGal/m and a plate of 0.04193 * 2.67 mGal/m; the
// residual run on the raw file holds the same anomaly as its U.
TEST(ReduceCli, BushveldAnomalyMatchesTheSurveyFile) {
  const std::string interop = InteropDir();
  const std::string raw = interop + "/stations_raw/fatiando-2021-gsh_bushveld_gravity.csv";
  if (interop.empty() || !std::filesystem::exists(raw)) GTEST_SKIP() << "no Bushveld survey";
  TempDir dir;
  const CliResult run = RunCli(
      dir, {"--input", raw, "--output", dir.File("t.csv"), "--crs", "EPSG:4326", "--columns",
            "longitude,latitude,elevation", "--gravity-column", "gravity", "--height-column",
            "elevation", "--free-air-gradient", "0.3086", "--radius", "5000", "--band", "1000",
            "--quiet"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto table = CsvRows(dir.File("t.csv"));
  std::istringstream survey(ReadFile(interop + "/bushveld_cba.dat"));
  std::string line;
  std::getline(survey, line);
  std::size_t i = 0;
  for (double x, y, point, h, cba; survey >> x >> y >> point >> h >> cba; ++i) {
    ASSERT_LT(i, table.size());
    EXPECT_NEAR(Number(table[i], "cba"), cba, 0.05) << i;
  }
  EXPECT_EQ(i, table.size());
}

// Stations given in UTM 35 S get the latitudes of the same stations given
// in degrees: the projected coordinates are made by PROJ's own cs2cs.
TEST(ReduceCli, ProjectedStationsGetTheirGeodeticLatitude) {
  TempDir dir;
  // cs2cs reads EPSG:4326 as latitude, longitude: give it that order.
  WriteFile(dir.File("latlon.txt"), "-25.2 26.1\n-24.6 27.9\n-26.0 28.4\n");
  const ProgramResult run_utm = RunProgram(
      dir, "cs2cs", {"-f", "%.4f", "EPSG:4326", "EPSG:32735", dir.File("latlon.txt")},
      "PROJ_NETWORK=OFF");
  if (run_utm.exit_code != 0) GTEST_SKIP() << "no cs2cs: " << run_utm.err;
  std::istringstream eastings(run_utm.out);
  const char* names[] = {"S1", "S2", "S3"};
  const double lons[] = {26.1, 27.9, 28.4}, lats[] = {-25.2, -24.6, -26.0};
  std::string geographic_csv = "lon,lat,name,g,h\n", projected_csv = "e,n,name,g,h\n";
  for (int k = 0; k < 3; ++k) {
    std::string east, north, z;
    eastings >> east >> north >> z;
    const std::string rest = std::string(",") + names[k] + ",978600.5,1500\n";
    geographic_csv += std::to_string(lons[k]) + "," + std::to_string(lats[k]) + rest;
    projected_csv += east + "," + north + rest;
  }
  WriteFile(dir.File("geographic.csv"), geographic_csv);
  WriteFile(dir.File("projected.csv"), projected_csv);
  std::vector<std::vector<std::map<std::string, std::string>>> tables;
  for (const auto& [file, crs, columns] :
       {std::tuple{"geographic.csv", "EPSG:4326", "lon,lat,name,g"},
        std::tuple{"projected.csv", "EPSG:32735", "e,n,name,g"}}) {
    const std::string output = dir.File(std::string("out_") + file);
    const CliResult run = RunCli(dir, {"reduce", "--input", dir.File(file), "--output", output,
                                       "--crs", crs, "--columns", columns, "--height-column", "h",
                                       "--quiet"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    tables.push_back(CsvRows(output));
  }
  ASSERT_EQ(tables[0].size(), 3u);
  ASSERT_EQ(tables[1].size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(Number(tables[1][i], "normal_gravity"), Number(tables[0][i], "normal_gravity"),
                1e-3)
        << i;
    EXPECT_EQ(tables[1][i].at("point"), names[i]);
  }
}

// The residual run on absolute gravity is the residual run on the Bouguer
// anomaly that reduce writes, table for table.
TEST(ReduceCli, ResidualOfAbsoluteGravityIsThatOfTheReducedAnomaly) {
  TempDir dir;
  std::string raw = "lat,lon,station,gravity,elevation\n";
  for (int i = 0; i < 40; ++i) {
    const double lat = -25.0 - 0.002 * (i % 7), lon = 27.0 + 0.0025 * (i / 7);
    const double height = 1200 + 13.0 * (i % 5);
    const double gravity = 978650 + 0.7 * (i % 11) - 0.19 * (height - 1200);
    raw += std::to_string(lat) + "," + std::to_string(lon) + ",P" + std::to_string(i) + "," +
           std::to_string(gravity) + "," + std::to_string(height) + "\n";
  }
  WriteFile(dir.File("raw.csv"), raw);
  const CliResult reduce = RunCli(
      dir, {"reduce", "--input", dir.File("raw.csv"), "--output", dir.File("reduced.csv"),
            "--crs", "EPSG:4326", "--columns", "lon,lat,station", "--gravity-column", "gravity",
            "--height-column", "elevation", "--density", "2500", "--bullard-b", "--quiet"});
  ASSERT_EQ(reduce.exit_code, 0) << reduce.err;
  const std::vector<std::string> ring = {"--radius", "400", "--band", "150", "--crs",
                                         "EPSG:4326", "--quiet"};
  std::vector<std::string> direct = {"--input", dir.File("raw.csv"), "--output",
                                     dir.File("direct.csv"), "--columns", "lon,lat,station",
                                     "--gravity-column", "gravity", "--height-column",
                                     "elevation", "--density", "2500", "--bullard-b"};
  std::vector<std::string> two_steps = {"--input", dir.File("reduced.csv"), "--output",
                                        dir.File("two_steps.csv"), "--columns",
                                        "x,y,point,bouguer"};
  for (auto* args : {&direct, &two_steps}) {
    args->insert(args->end(), ring.begin(), ring.end());
    const CliResult run = RunCli(dir, *args);
    ASSERT_EQ(run.exit_code, 0) << run.err;
  }
  const std::string table = ReadFile(dir.File("direct.csv"));
  EXPECT_EQ(table, ReadFile(dir.File("two_steps.csv")));
  EXPECT_EQ(CsvRows(dir.File("direct.csv")).size(), 40u);
  // The sweep takes the same options.
  for (auto* args : {&direct, &two_steps}) {
    args->at(3) += ".sweep.csv";
    args->insert(args->begin(), "sweep");
    const auto radius = std::find(args->begin(), args->end(), "--radius");
    *radius = "--radii";
    *(radius + 1) = "300,400";
    const CliResult run = RunCli(dir, *args);
    ASSERT_EQ(run.exit_code, 0) << run.err;
  }
  EXPECT_EQ(ReadFile(dir.File("direct.csv.sweep.csv")),
            ReadFile(dir.File("two_steps.csv.sweep.csv")));
}

struct BadInputCase {
  const char* name;
  std::string file;
  std::vector<std::string> flags;
  int exit_code;
  std::string expected_err;  // a part of stderr
  std::size_t rows;          // of the table written
};

TEST(ReduceCli, BadInputIsSkippedOrRefusedWithAWord) {
  const std::string header = "lon,lat,id,g,h\n";
  const std::string good = "27.0,-25.0,1,978650.0,1200\n27.1,-25.1,2,978640.0,1250\n";
  const std::vector<std::string> columns = {"--crs", "EPSG:4326", "--columns", "lon,lat,id,g",
                                            "--height-column", "h"};
  const BadInputCase cases[] = {
      {"LatitudeBeyondThePole", header + good + "27.0,-95.0,3,978650.0,1200\n", columns, 0,
       "1 of 3 stations skipped: latitude outside +-90 degrees", 2},
      {"MissingHeightAndGravity", header + good + "27.0,-25.0,3,978650.0,\n27.0,-25.0,4,,1200\n",
       columns, 0, "2 rows skipped (1 no gravity: line 5; 1 no height: line 4)", 2},
      {"AnomaliesForGravity", header + "27.0,-25.0,1,-30.5,1200\n27.1,-25.1,2,-31.0,1250\n",
       columns, 0, "'g': 2 of 2 values below 10000 mGal: values look like anomalies, not absolute gravity", 2},
      {"NoCrs", header + good, {"--columns", "lon,lat,id,g", "--height-column", "h"}, 2,
       "absolute gravity needs --crs", 0},
      {"NoHeight", header + good, {"--crs", "EPSG:4326", "--columns", "lon,lat,id,g"}, 2,
       "--height-column is required", 0},
      {"UnknownEllipsoid", header + good,
       {"--crs", "EPSG:4326", "--columns", "lon,lat,id,g", "--height-column", "h",
        "--ellipsoid", "clarke1866"},
       2, "--ellipsoid takes grs80 or wgs84", 0},
      {"HeightNotInTheHeader", header + good,
       {"--crs", "EPSG:4326", "--columns", "lon,lat,id,g", "--height-column", "elevation"}, 1,
       "column 'elevation' is not in the header row", 0},
  };
  for (const BadInputCase& c : cases) {
    TempDir dir;
    WriteFile(dir.File("in.csv"), c.file);
    std::vector<std::string> args = {"reduce", "--input", dir.File("in.csv"), "--output",
                                     dir.File("out.csv"), "--quiet"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const CliResult run = RunCli(dir, args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.expected_err), std::string::npos) << c.name << ": " << run.err;
    if (c.exit_code == 0) {
      EXPECT_EQ(CsvRows(dir.File("out.csv")).size(), c.rows) << c.name;
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir.File("out.csv"))) << c.name;
    }
  }
}

// Absolute gravity given as the CBA of a residual run is computed as asked,
// with a warning naming the column; reduction options without a gravity
// column are refused.
TEST(ReduceCli, ResidualRunWarnsOfAbsoluteGravityTakenForAnAnomaly) {
  TempDir dir;
  WriteFile(dir.File("in.csv"),
            "x,y,id,gravity\n0,0,1,978650\n100,0,2,978651\n0,100,3,978652\n");
  const std::vector<std::string> run_flags = {"--input", dir.File("in.csv"), "--output",
                                              dir.File("out.dat"), "--columns", "x,y,id,gravity",
                                              "--radius", "100", "--band", "10", "--quiet"};
  const CliResult run = RunCli(dir, run_flags);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("Warning: Column 'gravity' holds values above 900000 mGal"),
            std::string::npos)
      << run.err;
  std::vector<std::string> with_density = run_flags;
  with_density.insert(with_density.end(), {"--density", "2000"});
  const CliResult refused = RunCli(dir, with_density);
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("--density needs --gravity-column"), std::string::npos)
      << refused.err;
}

}  // namespace
}  // namespace torvane::testing
