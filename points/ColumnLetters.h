#pragma once
// The four columns of a run as the batch command and the Python module take
// them: "A,B,C,E" (letters) or "lon,lat,station,cba" (header names) for X,
// Y, point and CBA.

#include <string>

#include "points/ColumnNames.h"
#include "points/PointLine.h"

namespace torvane {

// "A,B,C,E" (any letter case) to column numbers; false unless exactly four
// letters A to Z separated by commas; the point's may be '-' (kNumberedPoints).
bool ParseColumnLetters(const std::string& text, PointColumns& columns);

// "lon,lat,station,cba" to four column names (spaces around each dropped);
// false unless exactly `count` names (four, or three for X, Y and point
// where the gravity and height columns are named apart), none empty,
// separated by commas.
bool ParseColumnNames(const std::string& text, ColumnNames& names, std::size_t count = 4);

}  // namespace torvane
