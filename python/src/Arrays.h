#pragma once
// numpy arrays as the core takes and gives them: contiguous float64 in,
// fresh arrays out, filled while the GIL is released.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "points/PointSet.h"

namespace torvane::python {

// Any array-like comes in as a C-contiguous float64 array (converted if it
// is not one already).
using InArray = pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;

inline std::span<const double> View(const InArray& array) {
  return {array.data(), static_cast<std::size_t>(array.size())};
}

// The residual and ring count of every point, as the ring functions answer
// them: {"residual": float64, "n": int64}. Made with the GIL held; Fill
// needs no GIL.
class RingResult {
 public:
  explicit RingResult(std::size_t count)
      : residual_(static_cast<pybind11::ssize_t>(count)),
        n_(static_cast<pybind11::ssize_t>(count)),
        residual_out_(residual_.mutable_data()),
        n_out_(n_.mutable_data()) {}

  void Fill(const PointSet& points, const std::vector<int>& ring_counts) {
    for (std::size_t i = 0; i < points.points.size(); ++i) {
      residual_out_[i] = points.points[i].residual;
      n_out_[i] = ring_counts[i];
    }
  }

  pybind11::dict ToDict() const {
    pybind11::dict result;
    result["residual"] = residual_;
    result["n"] = n_;
    return result;
  }

 private:
  pybind11::array_t<double> residual_;
  pybind11::array_t<std::int64_t> n_;
  double* residual_out_;
  std::int64_t* n_out_;
};

}  // namespace torvane::python
