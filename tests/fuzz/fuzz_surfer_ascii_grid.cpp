// The Surfer ASCII grid reader on any bytes, with the nodes in memory and
// read from the file.

#include "grid/GridFormat.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {

std::string FuzzSurferAsciiGrid(Bytes data) { return CheckReader(kSurferAsciiFormat.read, data); }

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzSurferAsciiGrid)
