#pragma once
// Reads the point file into the PointSet: a counting pass that finds the
// number of points and their bounding box, then a storing pass into an array
// of exactly that size, with the coordinates shifted so that none is negative.

#include <string>

#include "common/Platform.h"
#include "points/PointLine.h"
#include "points/PointSet.h"
#include "points/SurveyExtent.h"

namespace torvane {

// On failure the user has been told ("Cannot open input data file", "Input
// file contains no valid xyz data", "Input file contains coordinates out of
// range" or "Error by allocating memory for data") and `points` is empty.
// `stored` kAsGiven keeps the file's coordinates unshifted.
bool ReadPointFile(Platform& platform, const std::string& input_path,
                   const PointColumns& columns, PointSet& points,
                   StoredCoordinates stored = StoredCoordinates::kShifted);

}  // namespace torvane
