#pragma once
// The fuzz entry points, one per target (see FuzzSupport.h). Each file
// fuzz_<name>.cpp holds the entry of target fuzz_<name>, whose seed corpus
// is corpus/<name>/ and whose former failures are regressions/<name>/.

#include <span>
#include <string>
#include <string_view>

#include "tests/fuzz/FuzzSupport.h"

namespace torvane::fuzzing {

std::string FuzzPointFile(Bytes data);
std::string FuzzSurfer7Grid(Bytes data);
std::string FuzzSurfer6Grid(Bytes data);
std::string FuzzGeosoftGrid(Bytes data);
std::string FuzzGeosoftBlocks(Bytes data);
std::string FuzzSurferAsciiGrid(Bytes data);
std::string FuzzEsriAsciiGrid(Bytes data);
std::string FuzzGridLoad(Bytes data);
std::string FuzzGridInterpolate(Bytes data);
std::string FuzzSettingsFile(Bytes data);
std::string FuzzCsvFile(Bytes data);
std::string FuzzConfigFile(Bytes data);
std::string FuzzCliFlags(Bytes data);
std::string FuzzReadGridValues(Bytes data);
std::string FuzzPythonArguments(Bytes data);

struct FuzzEntry {
  std::string_view name;
  std::string (*run)(Bytes data);
};

inline constexpr FuzzEntry kFuzzEntries[] = {
    {"point_file", FuzzPointFile},
    {"surfer7_grid", FuzzSurfer7Grid},
    {"surfer6_grid", FuzzSurfer6Grid},
    {"geosoft_grid", FuzzGeosoftGrid},
    {"geosoft_blocks", FuzzGeosoftBlocks},
    {"surfer_ascii_grid", FuzzSurferAsciiGrid},
    {"esri_ascii_grid", FuzzEsriAsciiGrid},
    {"grid_load", FuzzGridLoad},
    {"grid_interpolate", FuzzGridInterpolate},
    {"settings_file", FuzzSettingsFile},
    {"csv_file", FuzzCsvFile},
    {"config_file", FuzzConfigFile},
    {"cli_flags", FuzzCliFlags},
    {"read_grid_values", FuzzReadGridValues},
    {"python_arguments", FuzzPythonArguments},
};

}  // namespace torvane::fuzzing
