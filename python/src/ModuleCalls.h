#pragma once
// The module's calls into the core once Python's objects are plain numbers
// and arrays: the checks of the arguments the core cannot take (the public
// functions check them first; these keep the core safe from a direct call
// of _core), and the computations run with the GIL released. Nothing here
// knows Python, so that the fuzz harness drives the same code with any
// arguments.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "grid/GridValues.h"
#include "grid/Gridimport.h"
#include "points/PointSet.h"
#include "residual/RadiusSweep.h"
#include "residual/RingResiduals.h"
#include "residual/SweepCurve.h"

namespace torvane::python {

// A survey as three arrays; the core checks their lengths.
struct SurveyArrays {
  std::span<const double> x, y, cba;
};

// A grid as a 2-D array of node values (`rows` x `columns`, row by row
// from the south) and where its nodes lie.
struct NodeArray {
  std::span<const double> values;
  std::int64_t rows = 0, columns = 0;
  double xmin = 0, dx = 1, ymin = 0, dy = 1;
};

// What is wrong with an argument, as the ValueError the module raises
// ("radius: must be greater than 0, not nan"); empty when nothing is.
std::string PointRingProblem(double radius, double band);
std::string GridRingProblem(double radius, std::int64_t ring_points);
std::string NodeArrayProblem(int dimensions, std::int64_t rows, std::int64_t columns);
std::string SweepProblem(std::span<const SweepRadius> radii, std::int64_t min_ring_points,
                         double max_gap);
std::string GridResidualProblem(double radius, std::int64_t ring_points, double min_share);

// The rings of every point of `survey`, after `ready` (when given: loading
// the grid the settings sample) answered true. False when the survey or the
// grid was refused (the platform was told) or `step` stopped the work.
bool SurveyRings(Reporter& platform, const SurveyArrays& survey, const RingSettings& settings,
                 const std::function<bool()>& ready, const RingStep& step, PointSet& points,
                 RingResults& rings);

// The plain grid of a node array whose shape passed NodeArrayProblem; false
// when its placement is unsound.
bool PlainGridOf(const NodeArray& array, GridValues& grid);

// `grid` (newly constructed) holding the node array, for sampling; false,
// after telling the user, when it cannot.
bool LoadNodeArray(TGridImport& grid, const NodeArray& array);

// The sweep's columns, one per radius, and its curve. False when the survey
// was refused or the work stopped.
bool SweepSurvey(Reporter& platform, const SurveyArrays& survey,
                 const std::vector<SweepRadius>& radii, const RingBlanking& blanking,
                 const RingStep& step, std::vector<SweepColumn>& columns,
                 std::vector<CurveRow>& curve);

}  // namespace torvane::python
