// The table writer against the plain concatenation of its rows: tables of
// several flushes, whose whole blocks go past the page cache and whose rest
// is written as usual, on the test machine's disk and on a tmpfs, and a disk
// that fills up part of the way through.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "residual/ResidualTable.h"
#include "tests/SmallDisk.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// Rows of uneven lengths, a few far wider than the others, so that neither
// the items of rows nor the flushes end on a block boundary.
void AppendRow(std::size_t i, std::string& out) {
  out += std::to_string(i * 7919 % 100003);
  out.append(i % 997 == 0 ? 300 : i % 13, i % 2 == 0 ? 'a' : 'b');
  out += "\r\n";
}

std::string WriteTable(const std::string& path, std::size_t rows, bool& finished) {
  ResidualTableWriter table(path);
  EXPECT_TRUE(table.ok());
  const std::string header = "header of odd length\r\n";
  table.WriteText(header);
  table.WriteRows(rows, AppendRow);
  finished = table.Finish();
  std::string expected = header;
  for (std::size_t i = 0; i < rows; ++i) AppendRow(i, expected);
  return expected;
}

struct WriterCase {
  const char* name;
  std::size_t rows;
  bool on_tmpfs;
};

const WriterCase kCases[] = {
    {"OneBlockAndARest", 300, false},
    {"SeveralFlushes", 1200000, false},
    {"SeveralFlushesOnTmpfs", 1200000, true},
};

class TableWriter : public ::testing::TestWithParam<WriterCase> {};

TEST_P(TableWriter, SameBytesAsTheRowsInOrder) {
  const WriterCase& c = GetParam();
  TempDir dir;
  std::string folder = dir.path().string();
  std::unique_ptr<SmallDisk> disk;
  if (c.on_tmpfs) {
    folder = dir.File("tmpfs");
    std::filesystem::create_directory(folder);
    disk = std::make_unique<SmallDisk>(folder, std::size_t{64} << 20);
    if (!disk->mounted()) GTEST_SKIP() << "no right to mount a small file system here";
  }
  const std::string path = folder + "/table.dat";
  bool finished = false;
  const std::string expected = WriteTable(path, c.rows, finished);
  ASSERT_TRUE(finished);
  // The large tables span several of the writer's 4 MiB flushes.
  if (c.rows > 1000) {
    ASSERT_GT(expected.size(), std::size_t{12} << 20);
  }
  EXPECT_TRUE(ReadFile(path) == expected) << "the table differs from its rows";
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"table.dat"});
}

std::string CaseName(const ::testing::TestParamInfo<WriterCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Tables, TableWriter, ::testing::ValuesIn(kCases), CaseName);

TEST(TableWriter, DiskFullAfterSeveralFlushes) {
  TempDir dir;
  const std::string folder = dir.File("small");
  std::filesystem::create_directory(folder);
  SmallDisk disk(folder, std::size_t{6} << 20);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small file system here";
  const std::string path = folder + "/table.dat";
  WriteFile(path, "what an earlier run wrote\r\n");
  bool finished = true;
  WriteTable(path, 1200000, finished);
  EXPECT_FALSE(finished);
  EXPECT_EQ(ReadFile(path), "what an earlier run wrote\r\n");
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"table.dat"});
}

}  // namespace
}  // namespace torvane::testing
