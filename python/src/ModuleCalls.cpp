#include "ModuleCalls.h"

#include <cmath>
#include <limits>
#include <set>

#include "common/ShortestText.h"
#include "grid/GridArrays.h"
#include "points/PointArrays.h"
#include "residual/RingLimits.h"
#include "residual/SweepCurve.h"

namespace torvane::python {
namespace {

std::string Positive(const char* name, double value) {
  if (std::isfinite(value) && value > 0) return {};
  return std::string(name) + ": must be a finite number greater than 0, not " + ShortestText(value);
}

std::string RingPoints(std::int64_t ring_points) {
  if (ring_points >= 1 && ring_points <= kMostRingPoints) return {};
  return "ring_points: a whole number from 1 to " + std::to_string(kMostRingPoints) + ", not " +
         std::to_string(ring_points);
}

}  // namespace

std::string PointRingProblem(double radius, double band) {
  if (std::string problem = Positive("radius", radius); !problem.empty()) return problem;
  if (std::string problem = Positive("band", band); !problem.empty()) return problem;
  if (band > radius) {
    return "band: must be at most radius (" + ShortestText(radius) + "), not " + ShortestText(band);
  }
  return {};
}

std::string GridRingProblem(double radius, std::int64_t ring_points) {
  if (std::string problem = Positive("radius", radius); !problem.empty()) return problem;
  return RingPoints(ring_points);
}

std::string NodeArrayProblem(int dimensions, std::int64_t rows, std::int64_t columns) {
  if (dimensions != 2) return "grid: values must be a 2-D array";
  constexpr std::int64_t kMostCount = std::numeric_limits<std::int32_t>::max();
  if (rows > kMostCount || columns > kMostCount) return "grid: too many rows or columns";
  return {};
}

std::string SweepProblem(std::span<const SweepRadius> radii, std::int64_t min_ring_points,
                         double max_gap) {
  if (radii.empty()) return "radii: a list of one or more radii";
  if (radii.size() > kMostSweepRadii) {
    return "radii: at most " + std::to_string(kMostSweepRadii) + " radii in one sweep, not " +
           std::to_string(radii.size());
  }
  std::set<double> seen;
  for (const SweepRadius& r : radii) {
    if (std::string problem = Positive("radii", r.radius); !problem.empty()) return problem;
    if (!(r.band >= 0 && r.band <= r.radius)) {
      return "band: from 0 to its radius (" + ShortestText(r.radius) + "), not " +
             ShortestText(r.band);
    }
    if (!seen.insert(r.radius).second) return "radii: a radius is listed twice";
  }
  if (min_ring_points < 0 || min_ring_points > std::numeric_limits<int>::max()) {
    return "min_ring_points: a whole number of at least 0, not " + std::to_string(min_ring_points);
  }
  if (!(max_gap >= 0 && max_gap <= 360)) {
    return "max_gap: degrees from 0 to 360, not " + ShortestText(max_gap);
  }
  return {};
}

std::string GridResidualProblem(double radius, std::int64_t ring_points, double min_share) {
  if (std::string problem = GridRingProblem(radius, ring_points); !problem.empty()) return problem;
  if (!(min_share >= 0 && min_share <= 1)) {
    return "min_share: from 0 to 1, not " + ShortestText(min_share);
  }
  return {};
}

bool SurveyRings(Reporter& platform, const SurveyArrays& survey, const RingSettings& settings,
                 const std::function<bool()>& ready, const RingStep& step, PointSet& points,
                 RingResults& rings) {
  if (!PointSetFromArrays(platform, survey.x, survey.y, {}, survey.cba, points)) return false;
  if (ready && !ready()) return false;
  return GatherRings(points, settings, rings, step) == RingOutcome::kDone;
}

bool PlainGridOf(const NodeArray& array, GridValues& grid) {
  return GridFromValues(grid, static_cast<std::uint32_t>(array.columns),
                        static_cast<std::uint32_t>(array.rows), array.xmin, array.dx, array.ymin,
                        array.dy, array.values);
}

bool LoadNodeArray(TGridImport& grid, const NodeArray& array) {
  GridValues plain;
  if (!PlainGridOf(array, plain)) {
    grid.ShowError("Grid geometry is not valid");
    return false;
  }
  return LoadGridValues(grid, plain);
}

bool SweepSurvey(Reporter& platform, const SurveyArrays& survey,
                 const std::vector<SweepRadius>& radii, const RingBlanking& blanking,
                 const RingStep& step, std::vector<SweepColumn>& columns,
                 std::vector<CurveRow>& curve) {
  PointSet points;
  if (!PointSetFromArrays(platform, survey.x, survey.y, {}, survey.cba, points)) return false;
  columns = SweepRadii(platform, points, radii, blanking, nullptr, step);
  curve = SweepCurve(columns);
  return columns.size() == radii.size();
}

}  // namespace torvane::python
