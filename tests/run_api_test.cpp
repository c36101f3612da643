// The run API called directly, as every front end calls it: the table it
// writes is, byte for byte, the one torvane-cli writes from the same
// description, and the result holds what the table says.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/MemoryPlatform.h"
#include "run/Run.h"
#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// The sixth field of a table row, N: words of the fixed-width table, fields
// of a CSV row.
std::string NField(const std::string& row) {
  std::istringstream in(row);
  const char separator = row.find(',') != std::string::npos ? ',' : ' ';
  std::vector<std::string> fields;
  for (std::string field; std::getline(in, field, separator);) {
    if (!field.empty() || separator == ',') fields.push_back(field);
  }
  return fields.size() > 5 ? fields[5] : "";
}

struct RunApiCase {
  const char* name;
  const char* output;  // file name: .csv writes CSV
  bool grid;
  bool quality;
  int min_ring_points;  // 0: no blanking
  std::vector<std::string> flags;  // what torvane-cli is given besides input and output
};

TEST(RunApi, WritesTheTableTorvaneCliWrites) {
  const std::string survey = SourceDir() + "/data/sample_survey.dat";
  const std::string grid = SourceDir() + "/data/sample_cba.grd";
  const RunApiCase cases[] = {
      {"point mode", "t.dat", false, false, 0, {"--radius", "500", "--band", "100"}},
      {"CSV, quality and blanking", "t.csv", false, true, 8,
       {"--radius", "300", "--band", "60", "--quality", "--min-ring-points", "8"}},
      {"grid mode", "t.dat", true, true, 0,
       {"--radius", "500", "--grid", grid, "--ring-points", "90", "--quality"}},
  };
  for (const RunApiCase& c : cases) {
    TempDir dir;
    std::vector<std::string> args = {"--input", survey, "--output",
                                     dir.File(std::string("cli_") + c.output), "--quiet"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const CliResult cli = RunCli(dir, args);
    ASSERT_EQ(cli.exit_code, 0) << c.name << ": " << cli.err;

    RunRequest request;
    request.stations.path = survey;
    request.stations.columns = {0, 1, 2, 4};
    request.output_path = dir.File(std::string("api_") + c.output);
    request.ring.radius = std::atof(c.flags[1].c_str());
    request.ring.band = c.grid ? 0 : std::atof(c.flags[3].c_str());
    request.ring.use_grid = c.grid;
    request.ring.grid_path = c.grid ? grid : "";
    request.ring.ring_points = c.grid ? 90 : 0;
    request.ring.quality = c.quality;
    request.ring.blanking.min_points = c.min_ring_points;
    MemoryPlatform reporter('.');
    RunResult result;
    ASSERT_TRUE(torvane::Run(reporter, request, result)) << c.name;

    const std::string table = ReadFile(request.output_path);
    EXPECT_EQ(table, ReadFile(dir.File(std::string("cli_") + c.output))) << c.name;
    EXPECT_TRUE(result.completed);
    ASSERT_EQ(result.points.points.size(), 3000u) << c.name;
    ASSERT_EQ(result.rings.ring_counts.size(), 3000u) << c.name;
    EXPECT_EQ(result.rings.qualities.size(), c.quality ? 3000u : 0u) << c.name;
    // The table's N column, row by row, is the result's ring count.
    const std::vector<std::string> rows = CrlfLines(table);
    ASSERT_EQ(rows.size(), 3001u) << c.name;
    int empty = 0;
    for (std::size_t i = 0; i < 3000; ++i) {
      EXPECT_EQ(std::stoi(NField(rows[i + 1])), result.rings.ring_counts[i]) << c.name << " row " << i;
      empty += result.rings.ring_counts[i] == 0;
    }
    EXPECT_EQ(result.rings.empty_rings, empty) << c.name;
  }
}

}  // namespace
}  // namespace torvane::testing
