#pragma once
// File dialog filters as the logic writes them, "Description (*.ext)|*.ext|
// ...", turned into the name filters of a Qt file dialog.

#include <QStringList>
#include <string_view>

namespace torvane {

// One name filter per description and pattern pair: "Description (patterns)".
// A pattern list separated by ';' is separated by spaces, and "*.*" becomes
// "*", so that files without an extension are listed too.
QStringList NameFilters(std::string_view filter);

}  // namespace torvane
