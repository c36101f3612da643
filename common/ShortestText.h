#pragma once
// The shortest text that reads back to the same number, with '.' whatever the
// locale: how CSV tables, text grids and captions write a double or a float.

#include <string>

namespace torvane {

void AppendShortest(double value, std::string& out);
void AppendShortest(float value, std::string& out);
std::string ShortestText(double value);

}  // namespace torvane
