#include "app/RunStatus.h"

#include <cstdint>
#include <cstdio>

#include "app/Hvw.h"

namespace torvane {

std::string RunWorkCrs(const TfrmMain& form) {
  const std::string& crs = form.Result().work_crs;
  return crs.empty() ? "none (coordinates as in the file)" : crs;
}

std::string RunStatusLine(const TfrmMain& form, double seconds) {
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  if (form.CalcRefused()) return "";
  if (form.Stopped()) return std::string("Stopped after ") + time + "; no table written";
  if (!form.ResultsReady()) return std::string("Run failed after ") + time;
  const int points = form.Points().count();
  const std::uint64_t skipped = form.Points().skipped.Total();
  return std::to_string(points) + (points == 1 ? " point" : " points") + " read, " +
         std::to_string(skipped) + (skipped == 1 ? " row" : " rows") + " skipped, " +
         std::to_string(form.EmptyRings()) + " with N = 0, work CRS: " + RunWorkCrs(form) +
         ", " + time;
}

}  // namespace torvane
