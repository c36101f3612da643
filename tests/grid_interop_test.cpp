// Grids written by other software: the small grids GDAL wrote into
// tests/data (see make_gdal_grids.sh), and the real grids of the shared
// interop samples beside the project, each checked node for node against
// the node dump that came with it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "grid/GridFormat.h"
#include "grid/Gridimport.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

struct DumpNode {
  int c = 0, r = 0;
  double x = 0, y = 0, value = 0;
};

struct Dump {
  double nodata = 1.70141e38;
  std::vector<DumpNode> nodes;
};

// A node dump "c r x y value" with '#' comment lines, one of which names
// the missing-value marker ("nodata -9999.0").
Dump ReadNodeDump(const std::string& path) {
  Dump dump;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("#")) {
      if (const auto at = line.find("nodata "); at != std::string::npos) {
        std::istringstream(line.substr(at + 7)) >> dump.nodata;
      }
      continue;
    }
    DumpNode node;
    if (std::istringstream(line) >> node.c >> node.r >> node.x >> node.y >> node.value) {
      dump.nodes.push_back(node);
    }
  }
  return dump;
}

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9 * (1 + std::fabs(a) + std::fabs(b)); }

// Our node (c, r) lies where the dump says, and holds its value in single
// precision (within a float's rounding: a text value may be rounded twice),
// or is blank where the dump shows the marker.
void ExpectDump(const TGridImport& grid, const Dump& dump, const std::string& name) {
  ASSERT_FALSE(dump.nodes.empty()) << name;
  int values = 0;
  for (const DumpNode& n : dump.nodes) {
    ASSERT_LT(n.c, static_cast<int>(grid.ncols())) << name;
    ASSERT_LT(n.r, static_cast<int>(grid.nrows())) << name;
    EXPECT_TRUE(Near(grid.xmin() + n.c * grid.dx(), n.x)) << name << " x of " << n.c;
    EXPECT_TRUE(Near(grid.ymin() + n.r * grid.dy(), n.y)) << name << " y of " << n.r;
    const float node = grid.Node(static_cast<std::uint32_t>(n.c), static_cast<std::uint32_t>(n.r));
    if (n.value == dump.nodata || n.value >= 1e38) {
      EXPECT_EQ(node, kBlankNode) << name << " node " << n.c << "," << n.r;
    } else {
      EXPECT_FLOAT_EQ(node, static_cast<float>(n.value)) << name << " node " << n.c << "," << n.r;
      ++values;
    }
  }
  EXPECT_EQ(static_cast<std::size_t>(grid.ncols()) * grid.nrows(), dump.nodes.size()) << name;
  EXPECT_GT(values, 0) << name;
}

struct Loaded {
  ScriptedPlatform platform;
  TGridImport grid{platform};
  bool accepted;
  explicit Loaded(const std::string& path) : accepted(grid.Load(path)) {}
};

// GDAL's XYZ dump of the source: "x y value" by cell centre, north first.
Dump ReadXyz(const std::string& path) {
  Dump dump;
  dump.nodata = -9999;
  std::ifstream in(path);
  DumpNode node;
  while (in >> node.x >> node.y >> node.value) dump.nodes.push_back(node);
  return dump;
}

TEST(GdalGrids, EveryConversionOfTheSourceNodeForNode) {
  const std::string data = SourceDir() + "/tests/data/";
  const Dump xyz = ReadXyz(data + "gdal_source.xyz");
  ASSERT_EQ(xyz.nodes.size(), 35u);
  const std::pair<const char*, const GridFormat*> files[] = {
      {"gdal_source.asc", &kEsriAsciiFormat},   {"gdal_aaigrid.asc", &kEsriAsciiFormat},
      {"gdal_gs7bg.grd", &kSurfer7Format}, {"gdal_gsbg.grd", &kSurfer6Format},
      {"gdal_gsag.grd", &kSurferAsciiFormat},   {"gdal_gtiff.tif", &kGdalRasterFormat},
      {"gdal_netcdf.nc", &kGdalRasterFormat}};
  for (const auto& [name, format] : files) {
    Loaded loaded(data + name);
    ASSERT_TRUE(loaded.accepted) << name;
    EXPECT_EQ(loaded.grid.format(), format) << name;
    EXPECT_TRUE(loaded.platform.Messages().empty()) << name;
    ASSERT_EQ(loaded.grid.ncols(), 7u);
    ASSERT_EQ(loaded.grid.nrows(), 5u);
    // The dump has no node numbers: they follow from the coordinates.
    Dump numbered = xyz;
    for (DumpNode& n : numbered.nodes) {
      n.c = static_cast<int>(std::lround((n.x - 1025) / 50));
      n.r = static_cast<int>(std::lround((n.y - 2025) / 50));
    }
    ExpectDump(loaded.grid, numbered, name);
  }
}

// GDAL rasters that make no grid of ours are declined, saying why: here
// virtual rasters over the committed GeoTIFF.
// A netCDF file cut short anywhere says so, naming the file, instead of
// "Unknown grid file format" or zeros where it ends: classic files (CDF-1
// from GDAL, CDF-2 from the shared samples) and netCDF-4 (HDF5).
TEST(GdalGrids, NetcdfCutShortSaysSo) {
  TempDir dir;
  std::vector<std::string> sources = {SourceDir() + "/tests/data/gdal_netcdf.nc"};
  if (!InteropDir().empty()) sources.push_back(InteropDir() + "/geosoft/om_expected.nc");
  const std::string nc4 = dir.File("nc4.nc");
  if (std::system(("gdal_translate -q -of netCDF -co FORMAT=NC4 " + sources[0] + " " + nc4 +
                   " 2>/dev/null").c_str()) == 0) {
    sources.push_back(nc4);
  }
  for (const std::string& source : sources) {
    const std::string bytes = ReadFile(source);
    // Whole, none is cut short (the sample has no georeferencing of GDAL's).
    for (const std::string& said : Loaded(source).platform.Messages()) {
      EXPECT_EQ(said.find("cut short"), std::string::npos) << said;
    }
    for (const std::size_t kept : {std::size_t{6}, std::size_t{100}, bytes.size() / 2,
                                   bytes.size() - 1}) {
      const std::string cut = dir.File("cut.nc");
      WriteFile(cut, bytes.substr(0, kept));
      Loaded loaded(cut);
      EXPECT_FALSE(loaded.accepted);
      const std::vector<std::string> messages = loaded.platform.Messages();
      ASSERT_EQ(messages.size(), 1u) << source << " " << kept;
      EXPECT_TRUE(messages[0].starts_with("message: Error: " + cut + ": ")) << messages[0];
      EXPECT_NE(messages[0].find(" file is cut short (truncated)"), std::string::npos)
          << source << " " << kept << ": " << messages[0];
    }
  }
}

TEST(GdalGrids, RotatedManyBandsOrPlacelessDeclined) {
  const std::string tif = SourceDir() + "/tests/data/gdal_gtiff.tif";
  const auto band = [&](int n) {
    return "<VRTRasterBand dataType=\"Float32\" band=\"" + std::to_string(n) +
           "\"><SimpleSource><SourceFilename relativeToVRT=\"0\">" + tif +
           "</SourceFilename><SourceBand>1</SourceBand></SimpleSource></VRTRasterBand>";
  };
  const std::string open = "<VRTDataset rasterXSize=\"7\" rasterYSize=\"5\">";
  const std::string placed = "<GeoTransform>1000, 50, 0, 2250, 0, -50</GeoTransform>";
  struct Case {
    std::string vrt;
    std::string message;
  };
  const Case cases[] = {
      {open + "<GeoTransform>1000, 50, 10, 2250, 0, -50</GeoTransform>" + band(1) + "</VRTDataset>",
       "VRT raster is rotated or sheared (geotransform terms 10, 0); only grids along the x and y "
       "axes are read: "},
      {open + placed + band(1) + band(2) + "</VRTDataset>",
       "VRT file holds 2 raster bands; a grid is read from a file of one band: "},
      {open + band(1) + "</VRTDataset>",
       "VRT file has no georeferencing, so its nodes have no position: "},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("cba.vrt"), c.vrt);
    Loaded loaded(dir.File("cba.vrt"));
    EXPECT_FALSE(loaded.accepted);
    EXPECT_EQ(loaded.platform.Messages(),
              std::vector<std::string>{"message: Error: " + c.message + dir.File("cba.vrt")});
    EXPECT_EQ(loaded.grid.format(), nullptr);
  }
  // The same virtual raster along the axes is read.
  TempDir dir;
  WriteFile(dir.File("cba.vrt"), open + placed + band(1) + "</VRTDataset>");
  Loaded loaded(dir.File("cba.vrt"));
  ASSERT_TRUE(loaded.accepted) << ::testing::PrintToString(loaded.platform.Messages());
  EXPECT_DOUBLE_EQ(loaded.grid.xmin(), 1025);
  EXPECT_DOUBLE_EQ(loaded.grid.ymin(), 2025);
}

struct InteropGrid {
  const char* file;  // relative to the interop folder
  const GridFormat* format;
  const char* dump;  // node dump, relative to the interop folder
};

const InteropGrid kInteropGrids[] = {
    {"surfer/apdevelop_minimal-2x2-zeros.binary.grd", &kSurfer6Format, nullptr},
    {"surfer/apdevelop_minimal-2x2-zeros.surfer7.grd", &kSurfer7Format, nullptr},
    {"surfer/apdevelop_sample-1-surfer10.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/apdevelop_sample-1-surfer6.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/apdevelop_sample1.binary.grd", &kSurfer6Format, nullptr},
    {"surfer/apdevelop_sample1.surfer7.grd", &kSurfer7Format, nullptr},
    {"surfer/geoist_dataset_Demogrid.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/geoist_dataset_gravity-yxs.grd", &kSurfer7Format, nullptr},
    {"surfer/geoist_examples_Demogrid_a.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/geoist_examples_Demogrid_b.grd", &kSurfer6Format, nullptr},
    {"surfer/geoist_examples_demogrid.grd", &kSurfer6Format, nullptr},
    {"surfer/pvgeo_surfer-grid.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/generated_here/hugo_site_gdal_gs7bg.grd", &kSurfer7Format, nullptr},
    {"surfer/generated_here/hugo_site_gdal_gsbg.grd", &kSurfer6Format, nullptr},
    {"surfer/generated_here/hugo_site_gdal_gsag.grd", &kSurferAsciiFormat, nullptr},
    {"surfer/generated_here/alps_bouguer_gdal_gs7bg.grd", &kSurfer7Format,
     "surfer/pvgeo_surfer-grid.grd.txt"},
    {"surfer/generated_here/alps_bouguer_gmt_sf.grd", &kSurfer6Format,
     "surfer/pvgeo_surfer-grid.grd.txt"},
    {"esri/landlab_4_x_3.asc", &kEsriAsciiFormat, nullptr},
    {"esri/landlab_DEM-kootenai_37x50_1x1.asc", &kEsriAsciiFormat, nullptr},
    {"esri/landlab_hugo_site.asc", &kEsriAsciiFormat, nullptr},
    {"esri/landlab_west_bijou_gully.asc", &kEsriAsciiFormat, nullptr},
    {"esri/pvgeo_vd2.asc", &kEsriAsciiFormat, nullptr},
    {"esri/generated_here/alps_bouguer_gmt_ef.asc", &kEsriAsciiFormat,
     "surfer/pvgeo_surfer-grid.grd.txt"},
};

class Interop : public ::testing::TestWithParam<InteropGrid> {};

TEST_P(Interop, NodeForNodeAsTheDumpShows) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  const InteropGrid& g = GetParam();
  Loaded loaded(InteropDir() + "/" + g.file);
  ASSERT_TRUE(loaded.accepted) << g.file;
  EXPECT_EQ(loaded.grid.format(), g.format);
  EXPECT_TRUE(loaded.platform.Messages().empty());
  const std::string dump = g.dump ? std::string(g.dump) : std::string(g.file) + ".txt";
  ExpectDump(loaded.grid, ReadNodeDump(InteropDir() + "/" + dump), g.file);
}

INSTANTIATE_TEST_SUITE_P(Grids, Interop, ::testing::ValuesIn(kInteropGrids),
                         [](const auto& row) {
                           std::string name = std::filesystem::path(row.param.file).stem();
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Files that no reader may take: an ESRI header without its nodata line,
// and a Surfer 6 file whose counts are -1.
TEST(Interop, DeclinedFiles) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  // Not a header we know, or one whose values are no grid: said which.
  for (const auto& [file, message] :
       {std::pair<const char*, std::string>{"esri/landlab_4_x_3_no_nodata_value.asc",
                                            "Unknown grid file format: $PATH"},
        {"surfer/geoist_dataset_gravity-yx.grd",
         "$PATH: nx -1 is not a count of nodes (1 to 2147483647)"}}) {
    const std::string path = InteropDir() + "/" + file;
    Loaded loaded(path);
    EXPECT_FALSE(loaded.accepted) << file;
    std::string expected = "message: Error: " + message;
    expected.replace(expected.find("$PATH"), 5, path);
    EXPECT_EQ(loaded.platform.Messages(), std::vector<std::string>{expected});
  }
}

// The Geosoft grids of every element type, against the values their source
// project expects, to its tolerances: 1e-3 for 2-byte elements and 0.15 for
// bytes (the elements cannot hold more), 1e-8 for the floats; our nodes add
// the rounding to single precision. The 2-byte grid also against the header formula applied to
// its elements.
struct GeosoftExpectation {
  const char* file;
  const char* expected;
  double tolerance;
};

const GeosoftExpectation kGeosoftGrids[] = {
    {"om_short.grd", "om_expected.txt", 1e-3},  {"om_short.grd", "om_short_decoded.txt", 1e-5},
    {"om_byte.grd", "om_expected.txt", 0.15},   {"om_float.grd", "om_expected.txt", 1e-8},
    {"om_compress.grd", "om_expected.txt", 1e-8}, {"om_order.grd", "om_expected.txt", 1e-8},
};

TEST(Interop, GeosoftGridsOfEveryElementType) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  for (const GeosoftExpectation& g : kGeosoftGrids) {
    const std::string name = std::string(g.file) + " against " + g.expected;
    Loaded loaded(InteropDir() + "/geosoft/" + g.file);
    ASSERT_TRUE(loaded.accepted) << name;
    EXPECT_TRUE(loaded.platform.Messages().empty()) << name;
    EXPECT_EQ(loaded.grid.format(), &kGeosoftFormat);
    ASSERT_EQ(loaded.grid.ncols(), 50u) << name;
    ASSERT_EQ(loaded.grid.nrows(), 49u) << name;
    EXPECT_DOUBLE_EQ(loaded.grid.xmin(), 1);
    EXPECT_DOUBLE_EQ(loaded.grid.ymin(), -24);
    EXPECT_DOUBLE_EQ(loaded.grid.dx(), 1);
    EXPECT_DOUBLE_EQ(loaded.grid.dy(), 1);
    std::ifstream in(InteropDir() + "/geosoft/" + g.expected);
    std::string line;
    for (int keys = 0; keys < 7 && std::getline(in, line);) keys += !line.starts_with("#");
    int blanks = 0;
    for (std::uint32_t r = 0; r < 49; ++r) {
      for (std::uint32_t c = 0; c < 50; ++c) {
        double expected = 0;
        ASSERT_TRUE(in >> expected) << name;
        const float node = loaded.grid.Node(c, r);
        if (expected >= 1e38) {
          EXPECT_EQ(node, kBlankNode) << name << " " << c << "," << r;
          ++blanks;
        } else {
          const double single = std::ldexp(std::fabs(expected), -24);
          EXPECT_NEAR(node, expected, g.tolerance + single) << name << " " << c << "," << r;
        }
      }
    }
    EXPECT_EQ(blanks, 655) << name;
  }
}

// A rotated grid cannot be sampled along x and y: declined, saying why.
TEST(Interop, GeosoftRotatedGridDeclined) {
  if (InteropDir().empty()) GTEST_SKIP() << "no shared samples beside the project";
  const std::string path = InteropDir() + "/geosoft/om_rotate.grd";
  Loaded loaded(path);
  EXPECT_FALSE(loaded.accepted);
  EXPECT_EQ(loaded.platform.Messages(),
            std::vector<std::string>{"message: Error: Geosoft grid is rotated by -30 degrees; "
                                     "only grids along the x and y axes are read: " + path});
  EXPECT_FALSE(loaded.grid.in_memory());
}

}  // namespace
}  // namespace torvane::testing
