// torvane-cli in a shell pipeline: --input - reads the survey from a pipe,
// --output - writes the table into one, and the table that comes out is the
// one the same run writes to a file; every other line goes to stderr. The
// outputs that are no table refuse '-'.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// `cat input | torvane-cli args | cat > dir/piped`: stdin and stdout are
// pipes, as in a user's shell. The exit code is torvane-cli's.
ProgramResult RunInPipe(const TempDir& dir, const std::string& input,
                        const std::vector<std::string>& args) {
  std::string line = "cat " + Quoted(input) + " | " + Quoted(TORVANE_CLI);
  for (const std::string& arg : args) line += " " + Quoted(arg);
  line += " 2>" + Quoted(dir.File("err.txt")) + " | cat >" + Quoted(dir.File("piped")) +
          "; exit ${PIPESTATUS[1]}";
  const int status = std::system(("bash -c " + Quoted(line)).c_str());
  ProgramResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(dir.File("piped"));
  result.err = ReadFile(dir.File("err.txt"));
  return result;
}

struct PipeCase {
  const char* name;
  std::string input;
  std::vector<std::string> args;  // "$IN" and "$OUT" are the input and the table
};

const PipeCase kPipes[] = {
    {"PlainSurvey", SourceDir() + "/data/sample_survey.dat",
     {"--input", "$IN", "--output", "$OUT", "--radius", "500", "--band", "100"}},
    {"CsvStations", SourceDir() + "/data/sample_stations.csv",
     {"--input", "$IN", "--input-format", "csv", "--crs", "EPSG:4326", "--columns",
      "longitude,latitude,station,cba", "--output", "$OUT", "--radius", "500", "--band", "100"}},
    {"Sweep", SourceDir() + "/data/sample_survey.dat",
     {"sweep", "--input", "$IN", "--output", "$OUT", "--radii", "200,400", "--band-ratio", "0.2"}},
};

class Pipes : public ::testing::TestWithParam<PipeCase> {};

TEST_P(Pipes, GiveTheTableOfTheFiles) {
  const PipeCase& c = GetParam();
  TempDir dir;
  std::vector<std::string> to_file = c.args, to_pipe = c.args;
  for (std::string& arg : to_file) {
    if (arg == "$IN") arg = c.input;
    if (arg == "$OUT") arg = dir.File("table.dat");
  }
  for (std::string& arg : to_pipe) {
    if (arg == "$IN" || arg == "$OUT") arg = "-";
  }
  const ProgramResult by_file = RunProgram(dir, TORVANE_CLI, to_file);
  ASSERT_EQ(by_file.exit_code, 0) << by_file.err;
  const ProgramResult piped = RunInPipe(dir, c.input, to_pipe);
  ASSERT_EQ(piped.exit_code, 0) << piped.err;
  const std::string table = ReadFile(dir.File("table.dat"));
  EXPECT_GT(table.size(), 1000u);
  EXPECT_EQ(piped.out, table);
  // The summary the file run printed on stdout went to stderr.
  ASSERT_FALSE(by_file.out.empty());
  EXPECT_NE(piped.err.find(by_file.out.substr(0, by_file.out.find(" written to "))),
            std::string::npos)
      << piped.err;
}

INSTANTIATE_TEST_SUITE_P(Runs, Pipes, ::testing::ValuesIn(kPipes),
                         [](const auto& row) { return std::string(row.param.name); });

// Maps, grids, pictures and the sweep's curve and plot cannot go into the
// table's pipe: a usage error that says so, and nothing on stdout.
TEST(Pipes, OutputsThatAreNoTableRefuseTheDash) {
  const std::string survey = SourceDir() + "/data/sample_survey.dat";
  const std::string grid = SourceDir() + "/data/sample_cba.grd";
  const std::vector<std::string> run = {"--input", survey, "--output", "t.dat", "--radius",
                                        "500", "--band", "100"};
  const std::vector<std::pair<std::string, std::vector<std::string>>> refused = {
      {"FILE", {"map", grid, "-"}},
      {"OUT", {"convert", grid, "-"}},
      {"--output", {"grid-residual", "--grid", grid, "--output", "-", "--radius", "3"}},
      {"--curve", {"sweep", "--input", survey, "--output", "s.dat", "--radii", "200",
                   "--band", "10", "--curve", "-"}},
      {"--residual-grid", {"--residual-grid", "-", "--cell", "100"}},
      {"--map-cba", {"--map-cba", "-"}},
      {"--preview-residual", {"--preview-residual", "-"}},
  };
  for (const auto& [flag, args] : refused) {
    TempDir dir;
    std::vector<std::string> all = args;
    if (args[0].starts_with("--")) all.insert(all.begin(), run.begin(), run.end());
    const ProgramResult result = RunProgram(dir, TORVANE_CLI, all);
    EXPECT_EQ(result.exit_code, 2) << flag << result.err;
    EXPECT_EQ(result.out, "") << flag;
    EXPECT_NE(result.err.find(flag + ": '-' (standard output)"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("-"))) << flag;
  }
}

}  // namespace
}  // namespace torvane::testing
