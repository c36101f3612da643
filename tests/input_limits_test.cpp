// Inputs that lie about their size or never end: a grid header that claims
// far more nodes than its file holds, a point file of NUL bytes or one long
// line, /dev/zero. Each is refused with a message that names it and says
// why, and the process's memory (its peak as the system counted it)
// stays small: it follows the data read, never what a header claims.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "tests/ChildProcess.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// A Surfer 6 grid whose header says 32767 x 32767 nodes, in 4096 bytes.
void WriteLyingSurfer6(const std::string& path) {
  std::string bytes = "DSBB";
  const std::int16_t counts[2] = {32767, 32767};
  const double extents[6] = {0, 1000, 0, 1000, 0, 1};
  bytes.append(reinterpret_cast<const char*>(counts), sizeof counts);
  bytes.append(reinterpret_cast<const char*>(extents), sizeof extents);
  bytes.resize(4096, '\0');
  WriteFile(path, bytes);
}

// A file of `size` NUL bytes that takes no disk (sparse).
void WriteNulFile(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, size), 0);
  close(fd);
}

struct LimitCase {
  const char* name;
  std::vector<std::string> args;  // run in the folder of the files below
  int exit_code;
  const char* message;  // found on stderr
};

const std::vector<std::string> kTable = {"--output", "t.dat", "--radius", "5", "--band", "1"};

std::vector<std::string> Run(const char* input) {
  std::vector<std::string> args = {"--input", input};
  args.insert(args.end(), kTable.begin(), kTable.end());
  return args;
}

const LimitCase kCases[] = {
    {"ConvertLyingSurfer6", {"convert", "h6.grd", "out.grd"}, 1,
     "h6.grd: header says 32767 x 32767 nodes (4.3 GB), file holds 4096 bytes"},
    {"GridResidualLyingSurfer6", {"grid-residual", "--grid", "h6.grd", "--output", "out.tif",
                                  "--radius", "5"}, 1,
     "h6.grd: header says 32767 x 32767 nodes (4.3 GB), file holds 4096 bytes"},
    {"MapLyingSurfer6", {"map", "h6.grd", "m.png"}, 1, "file holds 4096 bytes"},
    {"GridModeLyingSurfer6", {"--input", "s.dat", "--output", "t.dat", "--radius", "5", "--grid",
                              "h6.grd"}, 1, "Error by reading grid"},
    {"DevZero", Run("/dev/zero"), 1, "/dev/zero: a line is longer than 1 MiB"},
    {"NulBytes", Run("nul.dat"), 1, "nul.dat: a line is longer than 1 MiB"},
    {"OneLongLineAfterPoints", Run("long.dat"), 1, "long.dat: a line is longer than 1 MiB"},
    {"NulBytesAsCsv", Run("nul.csv"), 1, "nul.csv: a line is longer than 1 MiB"},
};

class InputLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(InputLimit, RefusedQuicklyInLittleMemory) {
  const LimitCase& c = GetParam();
  TempDir dir;
  WriteLyingSurfer6(dir.File("h6.grd"));
  WriteFile(dir.File("s.dat"), "0 0 1 0 10\n5 0 2 0 4\n0 5 3 0 6\n");
  WriteNulFile(dir.File("nul.dat"), off_t{300} << 20);
  WriteNulFile(dir.File("nul.csv"), off_t{300} << 20);
  WriteFile(dir.File("long.dat"),
            "0 0 1 0 10\n5 0 2 0 4\n" + std::string((std::size_t{3} << 20) / 2, '7') + "\n");
  const ChildOutcome run = RunChild(TORVANE_CLI, c.args, dir.path().string());
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_LT(run.peak_kib, 100 * 1024) << "peak resident memory";
  for (const char* output : {"out.grd", "out.tif", "m.png"}) {
    EXPECT_FALSE(std::filesystem::exists(dir.File(output))) << output;
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, InputLimit, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
