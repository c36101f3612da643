#pragma once
// The letters that name the point file's columns, as the batch command and
// the Python module take them: "A,B,C,E" for X, Y, point number and CBA.

#include <string>

#include "points/PointLine.h"

namespace torvane {

// "A,B,C,E" (any letter case) to column numbers; false unless exactly four
// letters A to Z separated by commas.
bool ParseColumnLetters(const std::string& text, PointColumns& columns);

}  // namespace torvane
