#pragma once
// A file handed to the window from outside (named on the command line, or
// dropped on the window): a grid goes to the grid field, anything else is
// taken as the survey, with the output name proposed as the "..." button
// proposes it.

#include <string>
#include <string_view>

#include "app/Platform.h"

namespace torvane {

// A grid by content (one of the formats our own readers know by their first
// bytes) or a GeoTIFF or netCDF file by its name.
bool LooksLikeGridFile(const std::string& path);

enum class OpenedAs { kSurvey, kGrid };

// `table_ending` ends the proposed table name ("_torvane.dat" or "_torvane.csv").
OpenedAs PutOpenedFile(Platform& platform, const std::string& path,
                       std::string_view table_ending);

}  // namespace torvane
