#pragma once
// The bounding box of a survey's coordinates as given (file or arrays), and
// where the survey is stored from it: every coordinate shifted so that none
// is negative. The point file reader and the array front both place their
// points through here, so the same coordinates are stored the same way.

#include "points/PointSet.h"

namespace torvane {

struct SurveyBox {
  double min_x = 1e38, max_x = -1e38, min_y = 1e38, max_y = -1e38;
  void Add(double x, double y) {
    if (x < min_x) min_x = x;
    if (x > max_x) max_x = x;
    if (y < min_y) min_y = y;
    if (y > max_y) max_y = y;
  }
  void Add(const SurveyBox& other);
};

// How the coordinates are stored.
enum class StoredCoordinates {
  kShifted,  // plus the shift that makes the smallest one 0 when it is negative
  kAsGiven,  // unchanged (shift 0), for callers that hand them on rather than measure
};

// Sets the bounding box and the shifts of `points` from the box of the
// coordinates as given. False when coordinates lie so near the ends of the
// double range on both sides of 0 that, shifted, they would leave it: no
// distance between them could be measured.
bool PlaceSurvey(const SurveyBox& box, StoredCoordinates stored, PointSet& points);

}  // namespace torvane
