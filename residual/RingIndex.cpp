#include "residual/RingIndex.h"

#include <cmath>

namespace torvane {

RingIndex::RingIndex(const PointSet& points, double inner, double outer)
    : inner_(inner), outer_(outer), grid_(points, outer) {
  const std::vector<std::uint32_t>& order = grid_.order();
  x_.resize(order.size());
  y_.resize(order.size());
  cba_.resize(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    const SurveyPoint& p = points.points[order[k]];
    x_[k] = p.x;
    y_[k] = p.y;
    cba_[k] = p.cba;
  }
}

void RingIndex::ScaleCba(int exponent) {
  for (double& value : cba_) value = std::ldexp(value, exponent);
}

}  // namespace torvane
