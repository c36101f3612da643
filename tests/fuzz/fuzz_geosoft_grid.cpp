// The Geosoft 2-byte grid reader on any bytes, with the nodes in memory and
// read from the file.

#include "grid/GridFormat.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {

std::string FuzzGeosoftGrid(Bytes data) { return CheckReader(kGeosoftFormat.read, data); }

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzGeosoftGrid)
