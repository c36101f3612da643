#pragma once
// The readers of the grid file formats, tried by TGridImport::Load in this
// order. Each opens the file itself, looks at its content (never at the
// name) to see whether the file is its format, checks every header field
// before anything is allocated, and then accepts the file (true) or declines
// it (false). GDAL's rasters come last, and only for a file that none of the
// others recognises.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/MappedFile.h"
#include "grid/FileNodes.h"
#include "grid/Gridimport.h"

namespace torvane {

bool ReadSurfer7Grid(TGridImport& grid, const std::string& path);
bool ReadSurfer6Grid(TGridImport& grid, const std::string& path);
bool ReadGeosoftGrid(TGridImport& grid, const std::string& path);
bool ReadSurferAsciiGrid(TGridImport& grid, const std::string& path);
bool ReadEsriAsciiGrid(TGridImport& grid, const std::string& path);
bool ReadGdalRaster(TGridImport& grid, const std::string& path);

// The cheap checks "is this file mine?", on the file's first bytes.
bool IsSurfer7Grid(std::span<const unsigned char> head);
bool IsSurfer6Grid(std::span<const unsigned char> head);
bool IsGeosoftGrid(std::span<const unsigned char> head);
bool IsSurferAsciiGrid(std::string_view head);
// A text whose first word (after spaces and quotes) begins like one of the
// ESRI header keywords.
bool IsEsriAsciiGrid(std::string_view head);
// One of the five formats above, by the file's first bytes.
bool IsKnownGrid(std::span<const unsigned char> head);

// What the readers share.
//
// Opens a grid file for the first four readers; when it cannot be opened,
// shows "Error by opening file <path>\n" with the caption "Error".
bool OpenGridFile(TGridImport& grid, const std::string& path, MappedFile& file);
// A node count given as a number, truncated toward zero: false unless it is
// from 1 to the largest signed 32-bit number.
bool GridCount(double value, std::uint32_t& count);
// The most node values a text can hold: each takes at least one character
// and a separator, but the last.
std::uint64_t MostTextNodes(std::string_view text);
// After AllocateNodes of an ASCII reader: false when the grid is declined
// (an ASCII grid is read into memory or not at all). A file too short to
// reach two rows has no nodes to read, which is reported with "\nError by
// reading grid"; it is still taken.
bool TakeTextAllocation(TGridImport& grid, Allocation allocation);
// After the nodes were read from `file`: false, after showing "\nError by
// reading grid", when the file changed meanwhile (another program cut it
// short or wrote to it): what was read is then not taken.
bool FileStayed(TGridImport& grid, const MappedFile& file);
// After AllocateNodes of a binary reader: copies the nodes into memory row
// by row (or vector by vector), stopping at the first one the file cuts
// short, or keeps the file for disk mode, or (kNoNodes) takes none. In every
// case a file cut short is reported with "\nError by reading grid" and its
// missing nodes are blank. `file` describes the nodes the header claims.
// False when the file changed while its nodes were copied (FileStayed).
bool TakeBinaryNodes(TGridImport& grid, Allocation allocation, FileNodes file);

}  // namespace torvane
