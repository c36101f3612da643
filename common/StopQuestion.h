#pragma once
// The question the window asks when Stop was pressed during long work.

#include <functional>

#include "common/Reporter.h"

namespace torvane {

// When `stop_requested` is raised, asks "Cancel calculation?" (caption
// "Warning", Yes and No): true to give up, with the request still raised; a
// No lowers it and the work goes on. False at once when it is not raised.
bool CancelWanted(Reporter& platform, bool& stop_requested);

// What long work looks at between its steps (a block of a file, a stretch of
// points, a pass of an index): false gives up. An empty one never does.
using KeepGoing = std::function<bool()>;

// Handles the caller's events, then asks CancelWanted when `stop_requested`
// is given: false when the user gave up.
bool ContinueAfterEvents(Reporter& platform, bool* stop_requested);

// Whether `keep_going` lets the work go on (an empty one always does).
inline bool MayGoOn(const KeepGoing& keep_going) { return !keep_going || keep_going(); }

}  // namespace torvane
