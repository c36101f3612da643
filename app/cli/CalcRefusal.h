#pragma once
// What the batch command's log adds when Calc refused to start: the window's
// message says that two names are the same file, the log says which names.

#include "app/Platform.h"

namespace torvane {

// After Calc refused with the focus on txt_out: a note naming the output and
// the input or grid file it is the same file as. Prints nothing otherwise.
void NoteSameFileRefusal(Platform& platform);

}  // namespace torvane
