// The Python module's calls into the core with any arguments, as a direct
// call of torvane._core could pass them once pybind11 has made them numbers
// and arrays: surveys of arrays of any lengths and values, grids of node
// arrays of any shape and placement, radii, bands, ring points, blanking
// and shares from the edges of their ranges. Each call is refused with a
// ValueError text or a message, or answers one result per point (per radius,
// per node). The first byte picks the function; the rest are its arguments.

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "python/src/ModuleCalls.h"
#include "residual/GridResidual.h"
#include "residual/RingLimits.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {
namespace {

using python::NodeArray;
using python::SurveyArrays;

// Ring points beyond this are only checked, not computed: a few points of
// a million samples each would take the fuzzer seconds an input.
constexpr std::int64_t kMostComputedRingPoints = 4096;

// The arguments, taken from the fuzzer's bytes in order; zeros once they
// run out.
class Arguments {
 public:
  explicit Arguments(Bytes data) : data_(data) {}

  std::uint8_t Byte() { return at_ < data_.size() ? data_[at_++] : 0; }
  bool Flag() { return (Byte() & 1) != 0; }

  // Mostly a value at the edge of some range, otherwise any 64 bits.
  double Number() {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    static constexpr double kEdges[] = {
        0, -0.0, 1, -1, 0.5, 2, 10, 100, 250, 1000, 360, 1e-300, 5e-324, 1e300, -1e300,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(), kInf, -kInf,
        std::numeric_limits<double>::quiet_NaN(), 1e38, 3.5e38, -1e38, 1e15, 4503599627370497.0};
    const std::uint8_t kind = Byte();
    if (kind < 200) return kEdges[kind % std::size(kEdges)];
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | Byte();
    return std::bit_cast<double>(bits);
  }

  std::int64_t Whole() {
    static constexpr std::int64_t kEdges[] = {
        0, 1, -1, 2, 8, 360, kMostRingPoints, kMostRingPoints + 1,
        std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()};
    const std::uint8_t kind = Byte();
    if (kind < 200) return kEdges[kind % std::size(kEdges)];
    return static_cast<std::int16_t>(Byte() << 8 | Byte());
  }

  std::vector<double> Array(std::size_t count) {
    std::vector<double> values(count);
    for (double& v : values) v = Number();
    return values;
  }

 private:
  Bytes data_;
  std::size_t at_ = 0;
};

// Three arrays of up to `most` values each; their lengths mostly agree.
struct Survey {
  std::vector<double> x, y, cba;
  Survey(Arguments& in, std::size_t most) {
    const std::size_t count = in.Byte() % (most + 1);
    const bool ragged = in.Byte() < 32;
    x = in.Array(count);
    y = in.Array(ragged ? in.Byte() % (most + 1) : count);
    cba = in.Array(count);
  }
  SurveyArrays arrays() const { return {x, y, cba}; }
};

struct Nodes {
  std::vector<double> values;
  NodeArray array;
  Nodes(Arguments& in, std::int64_t most_side) {
    array.rows = in.Byte() % (most_side + 1);
    array.columns = in.Byte() % (most_side + 1);
    values = in.Array(static_cast<std::size_t>(array.rows * array.columns));
    array.values = values;
    array.xmin = in.Number();
    array.dx = in.Number();
    array.ymin = in.Number();
    array.dy = in.Number();
  }
};

// The module's step answers whether Ctrl-C was pressed; here it never is.
bool GoOn(std::size_t) { return true; }

// What a refusal must have: a message for the user.
std::string Refused(const CountingPlatform& platform) {
  return platform.messages > 0 ? "" : "a refused call said nothing";
}

std::string PointRings(Arguments& in) {
  const Survey survey(in, 12);
  const double radius = in.Number();
  const double band = in.Number();
  if (!python::PointRingProblem(radius, band).empty()) return "";
  CountingPlatform platform;
  RingSettings settings;
  settings.radius = radius;
  settings.band = band;
  settings.quality = in.Flag();
  PointSet points;
  RingResults rings;
  if (!python::SurveyRings(platform, survey.arrays(), settings, {}, GoOn, points, rings)) {
    return Refused(platform);
  }
  if (points.points.size() != survey.x.size() || rings.ring_counts.size() != survey.x.size()) {
    return "not one ring per point";
  }
  if (settings.quality && rings.qualities.size() != survey.x.size()) {
    return "not one quality per point";
  }
  return "";
}

std::string GridRings(Arguments& in) {
  const Survey survey(in, 4);
  const Nodes nodes(in, 6);
  const double radius = in.Number();
  const std::int64_t ring_points = in.Whole();
  if (!python::NodeArrayProblem(2, nodes.array.rows, nodes.array.columns).empty()) return "";
  if (!python::GridRingProblem(radius, ring_points).empty()) return "";
  if (ring_points > kMostComputedRingPoints) return "";
  CountingPlatform platform;
  TGridImport grid(platform);
  RingSettings settings;
  settings.radius = radius;
  settings.grid = &grid;
  settings.ring_points = static_cast<std::int32_t>(ring_points);
  settings.use_interpolated_cba = in.Flag();
  settings.quality = in.Flag();
  PointSet points;
  RingResults rings;
  if (!python::SurveyRings(
          platform, survey.arrays(), settings,
          [&] { return python::LoadNodeArray(grid, nodes.array); }, GoOn, points, rings)) {
    return Refused(platform);
  }
  if (rings.ring_counts.size() != survey.x.size()) return "not one ring per point";
  for (const std::int32_t n : rings.ring_counts) {
    if (n < 0 || n > ring_points) return "a ring of more samples than asked for";
  }
  return "";
}

std::string Sweep(Arguments& in) {
  const Survey survey(in, 10);
  const std::uint8_t asked = in.Byte();
  // Now and then one radius too many, for the limit.
  const std::size_t count = asked >= 250 ? kMostSweepRadii + 1 : asked % 5;
  std::vector<SweepRadius> radii(count);
  for (std::size_t i = 0; i < std::min<std::size_t>(count, 8); ++i) {
    radii[i] = {in.Number(), in.Number()};
  }
  for (std::size_t i = 8; i < count; ++i) radii[i] = {1.0 + static_cast<double>(i), 0.5};
  const std::int64_t min_ring_points = in.Whole();
  const double max_gap = in.Number();
  if (!python::SweepProblem(radii, min_ring_points, max_gap).empty()) return "";
  CountingPlatform platform;
  RingBlanking blanking;
  blanking.min_points = static_cast<int>(min_ring_points);
  blanking.max_gap = max_gap;
  std::vector<SweepColumn> columns;
  std::vector<CurveRow> curve;
  if (!python::SweepSurvey(platform, survey.arrays(), radii, blanking, GoOn, columns, curve)) {
    return Refused(platform);
  }
  if (columns.size() != radii.size() || curve.size() != radii.size()) {
    return "not one column and one curve row per radius";
  }
  for (const SweepColumn& column : columns) {
    if (column.residual.size() != survey.x.size() || column.n.size() != survey.x.size()) {
      return "a column not of one value per point";
    }
  }
  return "";
}

std::string GridResidual(Arguments& in) {
  const Nodes nodes(in, 8);
  const double radius = in.Number();
  const std::int64_t ring_points = in.Whole();
  const double min_share = in.Number();
  if (!python::NodeArrayProblem(2, nodes.array.rows, nodes.array.columns).empty()) return "";
  if (!python::GridResidualProblem(radius, ring_points, min_share).empty()) return "";
  if (ring_points > kMostComputedRingPoints) return "";
  GridValues plain;
  if (!python::PlainGridOf(nodes.array, plain)) return "";
  GridValues out;
  if (!ComputeGridResidual(plain, {radius, static_cast<std::int32_t>(ring_points), min_share},
                           out, GoOn)) {
    return "the residual of a grid that was taken stopped";
  }
  if (out.ncols != plain.ncols || out.nrows != plain.nrows ||
      out.nodes.size() != plain.nodes.size()) {
    return "the residual grid is not the grid's shape";
  }
  return "";
}

}  // namespace

std::string FuzzPythonArguments(Bytes data) {
  Arguments in(data);
  switch (in.Byte() % 4) {
    case 0:
      return PointRings(in);
    case 1:
      return GridRings(in);
    case 2:
      return Sweep(in);
    default:
      return GridResidual(in);
  }
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzPythonArguments)
