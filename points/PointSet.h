#pragma once
// The survey points of one run, as read from the point file.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/LargeArray.h"
#include "points/SkippedRows.h"

namespace torvane {

// One stored point: six doubles, whose order matters (the previews pick the
// value to grid by its slot number: 4 the input CBA, 5 the residual).
struct SurveyPoint {
  double x = 0;         // file X plus shift_x
  double y = 0;         // file Y plus shift_y
  double point = 0;     // the point number
  double height = 0;    // no column feeds it; always 0
  double cba = 0;       // complete Bouguer anomaly
  double residual = 0;  // the ring-average residual, once computed
};
static_assert(sizeof(SurveyPoint) == 6 * sizeof(double));
static_assert(std::is_trivially_destructible_v<SurveyPoint>);

// Allocates as LargeAllocator does, but leaves elements made without a
// value (resize) unwritten: the reader writes every point itself, from
// several threads, and a first write spread over them costs far less than
// zeroing the whole array on one thread first.
template <typename T>
struct FillLaterAllocator : LargeAllocator<T> {
  template <typename U>
  struct rebind {
    using other = FillLaterAllocator<U>;
  };
  FillLaterAllocator() = default;
  template <typename U>
  FillLaterAllocator(const FillLaterAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

struct PointSet {
  // In file order; a point's index here is the index the cluster stores.
  // Points added by resize() hold no defined value until written.
  std::vector<SurveyPoint, FillLaterAllocator<SurveyPoint>> points;
  // Bounding box of the stored (shifted) coordinates.
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  // Added to every file coordinate so that none stored is negative.
  double shift_x = 0, shift_y = 0;

  // Station names, kept only when the point column holds text: the name of
  // point i is label_text[label_end[i - 1] .. label_end[i]) (from 0 for the
  // first point). Empty for a survey of numbered points.
  std::string label_text;
  std::vector<std::uint64_t> label_end;

  // Kept only when the coordinates were projected for the computation: the
  // file's X and Y of point i at 2i and 2i + 1, and whether they are degrees.
  std::vector<double> file_xy;
  bool file_degrees = false;

  std::int32_t count() const { return static_cast<std::int32_t>(points.size()); }
  bool HasLabels() const { return !label_end.empty(); }
  std::string_view Label(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : static_cast<std::size_t>(label_end[i - 1]);
    return std::string_view(label_text)
        .substr(begin, static_cast<std::size_t>(label_end[i]) - begin);
  }
  // The coordinates of point i as the file gives them.
  double FileX(std::size_t i) const {
    return file_xy.empty() ? points[i].x - shift_x : file_xy[2 * i];
  }
  double FileY(std::size_t i) const {
    return file_xy.empty() ? points[i].y - shift_y : file_xy[2 * i + 1];
  }
  // The rows of the file that looked like data but gave no point.
  SkippedRows skipped;

  void Clear() { *this = PointSet(); }
  // Empties the set but keeps what the read skipped: a read that found no
  // point still tells which rows it passed over.
  void ClearKeepingSkipped() {
    SkippedRows kept = std::move(skipped);
    Clear();
    skipped = std::move(kept);
  }
  // Point numbers 1, 2, ... in file order (the point column '-').
  void NumberInFileOrder() {
    for (std::size_t i = 0; i < points.size(); ++i) points[i].point = static_cast<double>(i + 1);
  }
};

}  // namespace torvane
