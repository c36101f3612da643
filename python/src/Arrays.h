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
#include "residual/RingResiduals.h"

namespace torvane::python {

// Any array-like comes in as a C-contiguous float64 array (converted if it
// is not one already).
using InArray = pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;

inline std::span<const double> View(const InArray& array) {
  return {array.data(), static_cast<std::size_t>(array.size())};
}

// The residual and ring count of every point, as the ring functions answer
// them: {"residual": float64, "n": int64}, with {"gap": float64 degrees,
// "sectors": int64, "sd": float64} when the quality was asked for. Made with
// the GIL held; Fill needs no GIL.
class RingResult {
 public:
  RingResult(std::size_t count, bool quality)
      : residual_(Length(count)), n_(Length(count)), quality_(quality) {
    if (quality_) {
      gap_ = pybind11::array_t<double>(Length(count));
      sectors_ = pybind11::array_t<std::int64_t>(Length(count));
      sd_ = pybind11::array_t<double>(Length(count));
      gap_out_ = gap_.mutable_data();
      sectors_out_ = sectors_.mutable_data();
      sd_out_ = sd_.mutable_data();
    }
    residual_out_ = residual_.mutable_data();
    n_out_ = n_.mutable_data();
  }

  void Fill(const PointSet& points, const RingResults& rings) {
    for (std::size_t i = 0; i < points.points.size(); ++i) {
      residual_out_[i] = points.points[i].residual;
      n_out_[i] = rings.ring_counts[i];
      if (quality_) {
        gap_out_[i] = rings.qualities[i].gap;
        sectors_out_[i] = rings.qualities[i].sectors;
        sd_out_[i] = rings.qualities[i].sd;
      }
    }
  }

  pybind11::dict ToDict() const {
    pybind11::dict result;
    result["residual"] = residual_;
    result["n"] = n_;
    if (quality_) {
      result["gap"] = gap_;
      result["sectors"] = sectors_;
      result["sd"] = sd_;
    }
    return result;
  }

 private:
  static pybind11::ssize_t Length(std::size_t count) {
    return static_cast<pybind11::ssize_t>(count);
  }

  pybind11::array_t<double> residual_;
  pybind11::array_t<std::int64_t> n_;
  bool quality_;
  pybind11::array_t<double> gap_, sd_;
  pybind11::array_t<std::int64_t> sectors_;
  double* residual_out_ = nullptr;
  std::int64_t* n_out_ = nullptr;
  double* gap_out_ = nullptr;
  std::int64_t* sectors_out_ = nullptr;
  double* sd_out_ = nullptr;
};

}  // namespace torvane::python
