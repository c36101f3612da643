#pragma once
// The shortest text that reads back to the same number, with '.' whatever the
// locale: how CSV tables, text grids and captions write a double or a float.

#include <string>

namespace torvane {

void AppendShortest(double value, std::string& out);
void AppendShortest(float value, std::string& out);
std::string ShortestText(double value);

// The shortest text that reads back to `value`, written as people write
// radii, cells and bounds: plain decimal (100000, 2000000, 0.5), in exponent
// form only below 1e-4 or where the plain digits would run past 24
// characters (beyond about 1e22).
void AppendPlain(double value, std::string& out);
std::string PlainText(double value);
// Rounded to `significant` digits first, for messages (1105000, not
// 1104999.9999999998).
std::string PlainText(double value, int significant);

}  // namespace torvane
