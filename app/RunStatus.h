#pragma once
// The line the window shows under the dialog after every run: how many
// points were read, how many rings were empty (N = 0), the CRS the rings
// were measured in, and the time the run took.

#include <string>

namespace torvane {

class TfrmMain;

// The work CRS of the form's last run: the one given, else the UTM zone of
// the survey's centre for geographic stations, else the stations' own CRS;
// "none (coordinates as in the file)" when no CRS was named.
std::string RunWorkCrs(const TfrmMain& form);

std::string RunStatusLine(const TfrmMain& form, double seconds);

}  // namespace torvane
