#pragma once
// The output name proposed for a chosen or typed point file.

#include <string>
#include <string_view>

#include "app/Platform.h"

namespace torvane {

// `path` with its extension replaced by "_torvane.dat", or with
// "_torvane.dat" appended when it has none. The extension runs from the last
// '.' of the name; a '.' followed by a folder separator ('\', '/' or ':')
// belongs to a folder and is no extension.
// `ending` replaces "_torvane.dat" where tables are proposed as CSV.
std::string ProposedOutputName(std::string_view path, std::string_view ending = "_torvane.dat");

// The user edited the point file's name from `before` to `now`: the output
// name follows, as the "..." button proposes it, while it is empty or still
// the name proposed for `before`; a name the user chose stays.
void ProposeOutputWhileTyping(Platform& platform, std::string_view before, std::string_view now,
                              std::string_view ending = "_torvane.dat");

}  // namespace torvane
