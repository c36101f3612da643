#include "app/SweepRun.h"

#include <set>

#include "app/RadiusList.h"
#include "common/SystemMemory.h"
#include "points/SurveyReduction.h"
#include "residual/SweepTable.h"

namespace torvane {

bool SweepRings(const std::string& radii, double band, bool ratio, std::vector<SweepRadius>& rings,
                std::string& problem) {
  std::vector<double> listed;
  if (!ParseRadiusList(radii, listed, problem)) return false;
  std::set<std::string> names;
  rings.clear();
  for (const double radius : listed) {
    const double d = ratio ? band * radius : band;
    if (d > radius) {
      problem = "the band is wider than the radius " + RadiusName(radius) + " (D must be <= R)";
      return false;
    }
    if (!names.insert(RadiusName(radius)).second) {
      problem = RadiusName(radius) + " is listed twice";
      return false;
    }
    rings.push_back({radius, d});
  }
  return true;
}

bool RunSweep(Reporter& platform, const StationSource& survey,
              const std::vector<SweepRadius>& rings,
              const RingBlanking& blanking, SweepOutcome& outcome,
              const std::atomic<bool>* cancel) {
  std::string work_crs;
  if (!ReadStations(platform, survey, outcome.points, work_crs)) return false;
  if (!survey.gravity_reduction) {
    WarnIfAbsoluteGravity(platform, outcome.points, CbaColumnName(survey));
  }
  const std::size_t count = outcome.points.points.size();
  const std::uint64_t need = SweepMemory(rings.size(), count);
  const std::uint64_t available = AvailablePhysicalMemory();
  if (available != 0 && need > available) {
    platform.ShowMessage("the sweep of " + std::to_string(rings.size()) + " radii over " +
                             std::to_string(count) + " points needs " +
                             std::to_string(need >> 20) + " MiB; only " +
                             std::to_string(available >> 20) +
                             " MiB are available: sweep fewer radii at a time",
                         "Error", MessageButtons::kOk);
    return false;
  }
  outcome.columns = SweepRadii(platform, outcome.points, rings, blanking, cancel);
  if (cancel != nullptr && cancel->load()) return false;
  outcome.curve = SweepCurve(outcome.columns);
  return true;
}

CurveChart SweepChart(const std::vector<CurveRow>& curve) {
  CurveChart chart;
  chart.title = "Ring residuals against the ring radius";
  chart.x_caption = "ring radius R [m]";
  chart.y_caption = "residual [mGal]";
  CurveSeries rms{"RMS residual", {}, 0.80, 0.15, 0.10, false};
  CurveSeries mean_abs{"mean |residual|", {}, 0.10, 0.35, 0.75, true};
  for (const CurveRow& row : curve) {
    chart.x.push_back(row.radius);
    rms.y.push_back(row.rms_residual);
    mean_abs.y.push_back(row.mean_abs_residual);
  }
  chart.series = {rms, mean_abs};
  return chart;
}

}  // namespace torvane
