// The Surfer 7 binary grid reader on any bytes, with the nodes in memory and
// read from the file.

#include "grid/GridFormat.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {

std::string FuzzSurfer7Grid(Bytes data) { return CheckReader(kSurfer7Format.read, data); }

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzSurfer7Grid)
