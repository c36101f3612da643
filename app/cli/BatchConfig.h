#pragma once
// Starting a batch run from a settings file as the window writes it.

#include <string>

#include "app/Platform.h"

namespace torvane {

// Sets the controls from the settings file at `path`, as the window does at
// its start. False, with the reason on stderr, when the file is missing,
// cannot be read, or is not a settings record (its size differs).
bool ApplyConfigFile(const std::string& path, Platform& platform);

}  // namespace torvane
