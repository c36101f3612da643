#pragma once
// Whether a file the window is about to export (a picture, a map, a grid)
// is the point file, the grid file (in grid mode) or the table under any
// name, as the window's fields name them; shows the refusal, naming both,
// when it is. Every export of the window asks this before it writes.

#include <string>

#include "app/Platform.h"

namespace torvane {

bool ExportClashes(Platform& platform, const std::string& file_name);

}  // namespace torvane
