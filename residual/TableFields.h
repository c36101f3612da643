#pragma once
// The fields of the tables Torvane writes: right-aligned fixed-width fields
// (digit for digit what C's "%*.*f" and "%*d" print, always with '.') and the
// shortest text of a double that reads back to the same double, for CSV.

#include <string>
#include <string_view>

#include "common/ShortestText.h"

namespace torvane {

inline constexpr int kFieldWidth = 10;

// `text` right-aligned in a field of at least `width` characters.
void AppendRightAligned(std::string_view text, int width, std::string& out);
// A number with `decimals` decimals (0 to 6), right-aligned; a missing value
// (NaN) is written "NaN".
void AppendFixedField(double value, int decimals, int width, std::string& out);
void AppendCountField(long long count, int width, std::string& out);
// As AppendShortest, or nothing for a missing value (NaN).
void AppendShortestOrEmpty(double value, std::string& out);
void AppendCount(long long count, std::string& out);

}  // namespace torvane
