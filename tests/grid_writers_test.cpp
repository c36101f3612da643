// The grid writers: every format read back node for node by GDAL (for the
// formats it knows) and by our own readers, and the grids a format cannot
// hold refused with a message, leaving an existing file as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <gdal_priv.h>
#include <random>

#include "grid/GridFormat.h"
#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

// Random single-precision values over a few hundred mGal, about a tenth of
// them blank, and the four corners never blank.
GridValues RandomValues(std::uint32_t ncols, std::uint32_t nrows, double dx, double dy,
                        unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> value(-250, 180);
  std::uniform_real_distribution<double> unit(0, 1);
  GridValues grid;
  grid.ncols = ncols;
  grid.nrows = nrows;
  grid.xmin = 431250.5;
  grid.ymin = -6123.25;
  grid.dx = dx;
  grid.dy = dy;
  grid.nodes.resize(std::size_t{ncols} * nrows);
  for (float& node : grid.nodes) {
    node = unit(random) < 0.1 ? kBlankNode : static_cast<float>(value(random));
  }
  grid.At(0, 0) = 1.5f;
  grid.At(ncols - 1, nrows - 1) = -2.25f;
  return grid;
}

struct WriterCase {
  const char* name;
  const GridFormat* type;
  const char* file;
  bool gdal_reads;      // GDAL has a driver for it
  bool ours_read;       // our readers know it
  bool square_cells;    // the format (as our reader reads it) needs dx == dy
  double kept_share;    // how far a node may move, as a share of the value range
};

const WriterCase kWriterCases[] = {
    {"Surfer7", &kSurfer7Format, "out.grd", true, true, false, 0},
    {"Surfer6", &kSurfer6Format, "out6.grd", true, true, false, 0},
    {"SurferAscii", &kSurferAsciiFormat, "out.dsaa", true, true, false, 0},
    {"EsriAscii", &kEsriAsciiFormat, "out.asc", true, true, true, 0},
    // Cells that are not square: dx and dy lines instead of cellsize.
    {"EsriAsciiOblongCells", &kEsriAsciiFormat, "oblong.asc", true, true, false, 0},
    {"Geosoft", &kGeosoftFormat, "out.gsf", false, true, false, 1e-4},
    {"GeoTiff", &kGeoTiffFormat, "out.tif", true, true, false, 0},
    {"NetCdf", &kNetcdfFormat, "out.nc", true, true, false, 0},
};

class GridWriterTest : public ::testing::TestWithParam<WriterCase> {};

void ExpectSameGrid(const GridValues& got, const GridValues& want, double kept_share,
                    const std::string& who) {
  ASSERT_EQ(got.ncols, want.ncols) << who;
  ASSERT_EQ(got.nrows, want.nrows) << who;
  EXPECT_NEAR(got.xmin, want.xmin, 1e-9 * (std::fabs(want.xmin) + want.dx * want.ncols)) << who;
  EXPECT_NEAR(got.ymin, want.ymin, 1e-9 * (std::fabs(want.ymin) + want.dy * want.nrows)) << who;
  EXPECT_NEAR(got.dx, want.dx, 1e-12 * want.dx * want.ncols) << who;
  EXPECT_NEAR(got.dy, want.dy, 1e-12 * want.dy * want.nrows) << who;
  double low = 0;
  double high = 0;
  NodeRange(want, low, high);
  const double tolerance = kept_share * (high - low);
  int wrong = 0;
  for (std::uint32_t c = 0; c < want.ncols; ++c) {
    for (std::uint32_t r = 0; r < want.nrows; ++r) {
      const float w = want.At(c, r);
      const float g = got.At(c, r);
      const bool same = IsBlank(w) ? IsBlank(g) : !IsBlank(g) && std::fabs(g - w) <= tolerance;
      if (!same && ++wrong <= 5) {
        ADD_FAILURE() << who << ": node (" << c << ", " << r << ") is " << g << ", wrote " << w;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << who;
}

// The grid as GDAL reads it: the geotransform's pixel centres as nodes, the
// nodata value and NaN as blank, GDAL's first line the northernmost row.
GridValues ReadWithGdal(const std::string& path) {
  GDALAllRegister();
  GridValues grid;
  std::unique_ptr<GDALDataset> dataset(
      static_cast<GDALDataset*>(GDALOpen(path.c_str(), GA_ReadOnly)));
  if (!dataset) {
    ADD_FAILURE() << "GDAL cannot open " << path;
    return grid;
  }
  double t[6];
  EXPECT_EQ(dataset->GetGeoTransform(t), CE_None);
  EXPECT_EQ(t[2], 0.0);
  EXPECT_EQ(t[4], 0.0);
  grid.ncols = static_cast<std::uint32_t>(dataset->GetRasterXSize());
  grid.nrows = static_cast<std::uint32_t>(dataset->GetRasterYSize());
  grid.dx = t[1];
  grid.dy = -t[5];
  grid.xmin = t[0] + t[1] / 2;
  grid.ymin = t[3] + t[5] * (grid.nrows - 0.5);
  GDALRasterBand* band = dataset->GetRasterBand(1);
  int has_nodata = 0;
  const double nodata = band->GetNoDataValue(&has_nodata);
  std::vector<double> line(grid.ncols);
  grid.nodes.resize(std::size_t{grid.ncols} * grid.nrows);
  for (std::uint32_t y = 0; y < grid.nrows; ++y) {
    EXPECT_EQ(band->RasterIO(GF_Read, 0, static_cast<int>(y), static_cast<int>(grid.ncols), 1,
                             line.data(), static_cast<int>(grid.ncols), 1, GDT_Float64, 0, 0,
                             nullptr),
              CE_None);
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const double v = line[c];
      const bool blank = std::isnan(v) || (has_nodata && v == nodata);
      grid.At(c, grid.nrows - 1 - y) = blank ? kBlankNode : static_cast<float>(v);
    }
  }
  return grid;
}

TEST_P(GridWriterTest, ReadBackNodeForNodeByGdalAndOurReaders) {
  const WriterCase& row = GetParam();
  // A seed of its own for each format: its place in the table.
  const auto place = std::find(std::begin(kGridFormats), std::end(kGridFormats), row.type);
  const GridValues grid =
      RandomValues(23, 17, 12.5, row.square_cells ? 12.5 : 7.75,
                   11u + static_cast<unsigned>(place - std::begin(kGridFormats)));
  TempDir dir;
  ScriptedPlatform platform;
  const std::string path = dir.File(row.file);
  ASSERT_TRUE(WriteGrid(platform, grid, path, *row.type));
  EXPECT_TRUE(platform.Messages().empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{row.file});  // no temporary file left
  if (row.gdal_reads) ExpectSameGrid(ReadWithGdal(path), grid, row.kept_share, "GDAL");
  if (row.ours_read) {
    GridValues ours;
    ASSERT_TRUE(ReadGridValues(platform, path, ours)) << ::testing::PrintToString(platform.Messages());
    ExpectSameGrid(ours, grid, row.kept_share, "our reader");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, GridWriterTest, ::testing::ValuesIn(kWriterCases),
                         [](const auto& test) { return std::string(test.param.name); });

// What a format cannot hold is refused with a message naming the file, and
// an existing file stays as it was.
struct RefusalCase {
  const char* name;
  const GridFormat* type;
  GridValues grid;
  const char* reason;
};

GridValues Filled(std::uint32_t ncols, std::uint32_t nrows, float value) {
  GridValues grid;
  grid.ncols = ncols;
  grid.nrows = nrows;
  grid.dx = grid.dy = 1;
  grid.nodes.assign(std::size_t{ncols} * nrows, value);
  return grid;
}

TEST(GridWriterRefusals, LeaveTheTargetAsItWas) {
  GridValues flat_cells = Filled(4, 3, 1.0f);
  flat_cells.dy = 0;
  const RefusalCase cases[] = {
      {"Surfer6TooWide", &kSurfer6Format, Filled(32768, 2, 1.0f),
       "a Surfer 6 grid holds at most 32767 columns and 32767 rows; this one has 32768 x 2"},
      {"SurferAsciiOneColumn", &kSurferAsciiFormat, Filled(1, 5, 2.0f),
       "a Surfer ASCII grid needs at least two columns and two rows"},
      {"EsriFlatCells", &kEsriAsciiFormat, flat_cells,
       "an ESRI ASCII grid needs cells of positive size along both axes"},
      {"NoNodes", &kSurfer7Format, GridValues(), "the grid has no nodes"},
  };
  for (const RefusalCase& row : cases) {
    TempDir dir;
    ScriptedPlatform platform;
    const std::string path = dir.File("kept.grd");
    WriteFile(path, "what was there");
    EXPECT_FALSE(WriteGrid(platform, row.grid, path, *row.type)) << row.name;
    EXPECT_EQ(platform.Messages(),
              std::vector<std::string>{"message: Error: Cannot write grid " + path + ": " +
                                       row.reason})
        << row.name;
    EXPECT_EQ(ReadFile(path), "what was there") << row.name;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.grd"}) << row.name;
  }
}

// Absolute gravity far from 0 with a range of a little over 1 mGal: the
// scaling follows the range, not the magnitude, so every node keeps 1e-4 of it.
TEST(GeosoftWriter, KeepsASmallRangeFarFromZero) {
  GridValues grid = Filled(4, 3, 0.0f);
  for (std::size_t k = 0; k < grid.nodes.size(); ++k) {
    grid.nodes[k] = 978123.0f + 0.125f * static_cast<float>(k * 7 % 12);
  }
  grid.At(2, 1) = kBlankNode;
  TempDir dir;
  ScriptedPlatform platform;
  ASSERT_TRUE(WriteGrid(platform, grid, dir.File("g.gsf"), kGeosoftFormat));
  GridValues back;
  ASSERT_TRUE(ReadGridValues(platform, dir.File("g.gsf"), back));
  ExpectSameGrid(back, grid, 1e-4, "Geosoft");
}

// Grids written by other programs (Surfer, GDAL, GMT, landlab, ...), read by
// our readers and written again in every format: read back node for node.
TEST(GridWriterInterop, RealGridsThroughEveryWriter) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  int written = 0;
  for (const char* folder : {"surfer", "esri"}) {
    for (const std::string& name : FolderEntries(InteropDir() + "/" + folder)) {
      if (name.ends_with(".txt") || name == "generated_here") continue;
      ScriptedPlatform platform;
      GridValues original;
      if (!ReadGridValues(platform, InteropDir() + "/" + folder + "/" + name, original)) continue;
      for (const WriterCase& row : kWriterCases) {
        if (row.square_cells && original.dx != original.dy) continue;
        TempDir dir;
        const std::string path = dir.File(row.file);
        ScriptedPlatform writing;
        if (!WriteGrid(writing, original, path, *row.type)) {
          // Only the limits the formats have: a Surfer grid of one row or column.
          EXPECT_TRUE(original.ncols < 2 || original.nrows < 2)
              << name << " as " << row.name << ": " << ::testing::PrintToString(writing.Messages());
          continue;
        }
        const std::string who = name + " as " + row.name;
        if (row.gdal_reads) ExpectSameGrid(ReadWithGdal(path), original, row.kept_share, who);
        if (row.ours_read) {
          GridValues ours;
          ASSERT_TRUE(ReadGridValues(writing, path, ours)) << who;
          ExpectSameGrid(ours, original, row.kept_share, who);
        }
        ++written;
      }
    }
  }
  EXPECT_GT(written, 40);
}

TEST(GridFormats, NamesAndExtensions) {
  for (const char* name : {"surfer7", "surfer6", "surfer-ascii", "esri", "geosoft", "gtiff",
                           "netcdf"}) {
    const auto type = GridFormatNamed(name);
    ASSERT_TRUE(type) << name;
    EXPECT_EQ(type->name, name);
  }
  EXPECT_FALSE(GridFormatNamed("Surfer7"));
  EXPECT_EQ(GridFormatOfPath("a/b.GRD"), &kSurfer7Format);
  EXPECT_EQ(GridFormatOfPath("b.asc"), &kEsriAsciiFormat);
  EXPECT_EQ(GridFormatOfPath("b.tiff"), &kGeoTiffFormat);
  EXPECT_EQ(GridFormatOfPath("b.Tif"), &kGeoTiffFormat);
  EXPECT_EQ(GridFormatOfPath("b.nc"), &kNetcdfFormat);
  EXPECT_FALSE(GridFormatOfPath("b.dat"));
  EXPECT_FALSE(GridFormatOfPath("dir.nc/b"));
}

}  // namespace
}  // namespace torvane::testing
