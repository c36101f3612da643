#pragma once
// What the readers of the grid file formats (GridFormat.h) share: how a
// path that cannot be opened is said, the checks of counts, and the taking
// of the nodes a header was accepted for.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/MappedFile.h"
#include "grid/FileNodes.h"
#include "grid/Gridimport.h"

namespace torvane {

// How a reader tells the user that the path cannot be opened. Load says it
// for every reader, the errors first, so that a path that cannot be opened
// shows the same messages however far a format lies down the list.
enum class OpenFailureMessage {
  kError,  // "Error by opening file <path>\n", caption "Error"
  kNote,   // "Error by opening file <path>", a plain box
  kNone,
};

// A node count given as a number, truncated toward zero: false unless it is
// from 1 to the largest signed 32-bit number; the grid then says which
// header field (`field`, "ncols") held what.
bool GridCount(TGridImport& grid, std::string_view field, double value, std::uint32_t& count);
// The most node values a text can hold: each takes at least one character
// and a separator, but the last.
std::uint64_t MostTextNodes(std::string_view text);
// For a reader that needs all of the file in memory (the text formats, a
// compressed Geosoft grid): reads the rest of a file the system would not
// map. False, after showing "\nError by reading grid" with the system's
// reason, when it cannot.
bool ReadWholeFile(TGridImport& grid, MappedFile& file, const std::string& path);
// After Accept of an ASCII reader: false when the grid is declined (an
// ASCII grid is read into memory or not at all). A file too short to reach
// two rows has no nodes to read, which is reported with "\nError by reading
// grid"; it is still taken.
bool TakeTextAllocation(TGridImport& grid, Allocation allocation);
// After the nodes were read from `file`: false, after showing "\nError by
// reading grid", when the file changed meanwhile (another program cut it
// short or wrote to it): what was read is then not taken.
bool FileStayed(TGridImport& grid, const MappedFile& file);
// After Accept of a binary reader: copies the nodes into memory row by row
// (or vector by vector), stopping at the first one the file cuts short, or
// keeps the file for disk mode, or (kNoNodes) takes none. In every case a
// file cut short is reported with "\nError by reading grid" and its missing
// nodes are blank. `file` describes the nodes the header claims. False when
// the file changed while its nodes were copied (FileStayed).
bool TakeBinaryNodes(TGridImport& grid, Allocation allocation, FileNodes file);

}  // namespace torvane
