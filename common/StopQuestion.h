#pragma once
// The question the window asks when Stop was pressed during long work.

#include "common/Reporter.h"

namespace torvane {

// When `stop_requested` is raised, asks "Cancel calculation?" (caption
// "Warning", Yes and No): true to give up, with the request still raised; a
// No lowers it and the work goes on. False at once when it is not raised.
bool CancelWanted(Reporter& platform, bool& stop_requested);

}  // namespace torvane
