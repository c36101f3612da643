// The survey options file beside the settings record: what the window
// writes reads back the same, a missing file gives the defaults, and lines
// it does not know are passed over.

#include <gtest/gtest.h>

#include <cmath>

#include "app/SurveyOptions.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// Every field, as a text to compare whole.
std::string Fields(const SurveyOptions& o) {
  std::string text = o.crs.crs + "|" + o.crs.work_crs + "|" + std::to_string(o.decimal_separator) +
                     "|" + std::to_string(o.quality) + "|" + std::to_string(o.blanking.min_points) +
                     "|" + std::to_string(o.blanking.max_gap) + "|" + std::to_string(o.csv_table) +
                     "|" + std::to_string(o.reduction.free_air_gradient.value_or(-1)) + "|" +
                     std::to_string(o.reduction.bullard_b) + "|" +
                     std::to_string(o.grid_memory_limit_mib);
  for (const std::string& file : o.recent_files) text += "|" + file;
  for (const std::string& crs : o.recent_crs) text += "|crs " + crs;
  return text;
}

TEST(SurveyOptions, WrittenOptionsReadBackTheSame) {
  TempDir dir;
  SurveyOptions options;
  options.crs = {"+proj=longlat +datum=WGS84\n+no_defs", "EPSG:32735"};
  options.decimal_separator = ',';
  options.quality = true;
  options.blanking.min_points = 5;
  options.blanking.max_gap = 180.5;
  options.csv_table = true;
  options.reduction.free_air_gradient = 0.3086;
  options.reduction.bullard_b = true;
  options.grid_memory_limit_mib = 512;
  for (int i = 0; i < 10; ++i) RememberRecent(options.recent_files, "/data/s" + std::to_string(i) + ".csv");
  RememberRecent(options.recent_files, "/data/s3.csv");
  options.recent_crs = {"EPSG:4326"};
  const std::string path = SurveyOptionsPath(dir.File("torvane.cfg"));
  EXPECT_EQ(path, dir.File("torvane.options"));
  ASSERT_TRUE(WriteSurveyOptions(path, options));

  SurveyOptions read = ReadSurveyOptions(path);
  EXPECT_EQ(read.crs.crs, "+proj=longlat +datum=WGS84 +no_defs") << "one line a value";
  read.crs.crs = options.crs.crs;
  EXPECT_EQ(Fields(read), Fields(options));
  ASSERT_EQ(options.recent_files.size(), kMostRecentFiles);
  EXPECT_EQ(options.recent_files.front(), "/data/s3.csv") << "the newest first, once";
}

TEST(SurveyOptions, MissingOrForeignFileGivesTheDefaults) {
  TempDir dir;
  EXPECT_EQ(Fields(ReadSurveyOptions(dir.File("none.options"))), Fields(SurveyOptions()));
  WriteFile(dir.File("foreign.options"),
            "future_key=1\r\nmax_gap=-3\r\nmin_ring_points=x\r\nquality=1\r\nno equals sign\r\n");
  const SurveyOptions read = ReadSurveyOptions(dir.File("foreign.options"));
  EXPECT_TRUE(read.quality);
  EXPECT_TRUE(std::isinf(read.blanking.max_gap));
  EXPECT_EQ(read.blanking.min_points, 0);
}

}  // namespace
}  // namespace torvane::testing
