#pragma once
// Checks shared by the grid entry points: what a grid that a reader (or
// Load) accepted or declined must be, and the positions it is probed at.

#include <string>
#include <vector>

#include "common/MappedFile.h"
#include "grid/GridFormat.h"
#include "grid/Gridimport.h"
#include "tests/fuzz/FuzzSupport.h"

namespace torvane::fuzzing {

struct Position {
  double x = 0, y = 0;
};

// Positions on and between the nodes of the first, middle and last cells,
// on the far edges, and far outside or no number at all.
std::vector<Position> ProbePositions(const TGridImport& grid);

// A grid that was accepted: a format, sound counts, and an answer at every
// probe without reading outside the nodes (the sanitizers watch that).
// A grid declined by Load: empty, blank everywhere, and the user told.
std::string CheckGrid(const TGridImport& grid, bool accepted, int messages);

using ReaderFunction = bool (*)(TGridImport& grid, MappedFile& file, const std::string& path);

// One reader on the input, as Load would call it first.
std::string CheckReader(ReaderFunction reader, Bytes data);

}  // namespace torvane::fuzzing
