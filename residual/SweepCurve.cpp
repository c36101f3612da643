#include "residual/SweepCurve.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>

#include "common/AtomicFile.h"
#include "common/ShortestText.h"
#include "residual/ExactSum.h"
#include "residual/TableFields.h"

namespace torvane {
namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

bool Counted(const SweepColumn& column, std::size_t i) {
  return column.n[i] >= 1 && !std::isnan(column.residual[i]);
}

// Pearson's correlation of two columns' residuals over the points both count.
double Correlation(const SweepColumn& a, const SweepColumn& b) {
  ExactSum sum_a, sum_b;
  std::size_t count = 0;
  for (std::size_t i = 0; i < a.n.size(); ++i) {
    if (!Counted(a, i) || !Counted(b, i)) continue;
    sum_a.Add(a.residual[i]);
    sum_b.Add(b.residual[i]);
    ++count;
  }
  if (count < 2) return kMissing;
  const double mean_a = sum_a.Result() / static_cast<double>(count);
  const double mean_b = sum_b.Result() / static_cast<double>(count);
  ExactSum products, squares_a, squares_b;
  for (std::size_t i = 0; i < a.n.size(); ++i) {
    if (!Counted(a, i) || !Counted(b, i)) continue;
    const double da = a.residual[i] - mean_a;
    const double db = b.residual[i] - mean_b;
    products.Add(da * db);
    squares_a.Add(da * da);
    squares_b.Add(db * db);
  }
  const double spread = std::sqrt(squares_a.Result()) * std::sqrt(squares_b.Result());
  return spread > 0 ? products.Result() / spread : kMissing;
}

// The curve's row of the radius of column c.
CurveRow CurveOf(const std::vector<SweepColumn>& columns, std::size_t c) {
  const SweepColumn& column = columns[c];
  CurveRow row;
  row.radius = column.ring.radius;
  row.band = column.ring.band;
  ExactSum ring_points, squares, magnitudes;
  std::int64_t one_sided = 0;
  for (std::size_t i = 0; i < column.n.size(); ++i) {
    if (!Counted(column, i)) continue;
    const double r = column.residual[i];
    ++row.points_with_ring;
    ring_points.Add(column.n[i]);
    squares.Add(r * r);
    magnitudes.Add(std::fabs(r));
    one_sided += column.gap_over_180[i];
  }
  const auto count = static_cast<double>(row.points_with_ring);
  if (row.points_with_ring > 0) {
    row.mean_n = ring_points.Result() / count;
    row.rms_residual = std::sqrt(squares.Result() / count);
    row.mean_abs_residual = magnitudes.Result() / count;
    row.share_gap_over_180 = static_cast<double>(one_sided) / count;
  } else {
    row.mean_n = row.rms_residual = row.mean_abs_residual = row.share_gap_over_180 = kMissing;
  }
  row.correlation_previous = c == 0 ? kMissing : Correlation(columns[c - 1], column);
  return row;
}

}  // namespace

std::vector<CurveRow> SweepCurve(const std::vector<SweepColumn>& columns) {
  std::vector<CurveRow> rows(columns.size());
  // Each radius's row on a thread of its own: the sums are exact, and slow.
  const auto count = static_cast<std::int64_t>(columns.size());
  std::exception_ptr failure;
#pragma omp parallel for schedule(dynamic)
  for (std::int64_t k = 0; k < count; ++k) {
    try {
      rows[static_cast<std::size_t>(k)] = CurveOf(columns, static_cast<std::size_t>(k));
    } catch (...) {
#pragma omp critical
      failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
  return rows;
}

bool WriteSweepCurve(AtomicFile& file, const std::vector<CurveRow>& rows) {
  std::string text =
      "radius,band,points_with_ring,mean_n,rms_residual,mean_abs_residual,"
      "correlation_previous,share_gap_over_180\n";
  for (const CurveRow& row : rows) {
    AppendPlain(row.radius, text);
    text += ',';
    AppendPlain(row.band, text);
    text += ',';
    AppendCount(row.points_with_ring, text);
    for (const double value : {row.mean_n, row.rms_residual, row.mean_abs_residual,
                               row.correlation_previous, row.share_gap_over_180}) {
      text += ',';
      AppendShortestOrEmpty(value, text);
    }
    text += '\n';
  }
  if (!file.ok() || !file.Write(text.data(), text.size())) return false;
  return file.Complete();
}

bool WriteSweepCurve(const std::string& path, const std::vector<CurveRow>& rows) {
  AtomicFile file(path);
  return WriteSweepCurve(file, rows) && file.Commit();
}

}  // namespace torvane
