#pragma once
// The output name proposed for a chosen point file.

#include <string>
#include <string_view>

namespace torvane {

// `path` with its extension replaced by "_torvane.dat", or with
// "_torvane.dat" appended when it has none. The extension runs from the last
// '.' of the name; a '.' followed by a folder separator ('\', '/' or ':')
// belongs to a folder and is no extension.
std::string ProposedOutputName(std::string_view path);

}  // namespace torvane
