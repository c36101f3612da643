#pragma once
// Calc's checks on a batch run's fields, made as the window makes them when
// Calc is pressed, and what the batch command's log adds when they refuse.

#include "app/cli/BatchConfig.h"
#include "common/Reporter.h"
#include "run/RunRequest.h"

namespace torvane {

// Fills the request's files, columns, ring and radius for gridding from
// `fields`, after the checks Calc makes, in its order and with its messages
// (shown through `reporter`). False when one refused: nothing runs then.
bool TakeCalcFields(Reporter& reporter, const BatchFields& fields, RunRequest& request);

// After Calc refused: a note naming the output and the input or grid file it
// is the same file as. Prints nothing otherwise.
void NoteSameFileRefusal(const BatchFields& fields);

}  // namespace torvane
