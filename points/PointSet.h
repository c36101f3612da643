#pragma once
// The survey points of one run, as read from the point file.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

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

// Allocates as std::allocator does, but leaves elements made without a value
// (resize) unwritten: the reader writes every point itself, from several
// threads, and a first write spread over them costs far less than zeroing
// the whole array on one thread first.
template <typename T>
struct FillLaterAllocator : std::allocator<T> {
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

  std::int32_t count() const { return static_cast<std::int32_t>(points.size()); }
  void Clear() { *this = PointSet(); }
};

}  // namespace torvane
