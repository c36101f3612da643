#include "residual/RingSource.h"

namespace torvane {

bool RingSource::Load(Reporter& reporter, const RingRequest& request) {
  grid_.reset();
  if (request.use_grid) {
    grid_.emplace(reporter, request.grid_memory_limit);
    if (!grid_->Load(request.grid_path)) return false;
  }
  settings_ = {request.radius,      request.band,
               grid_ ? &*grid_ : nullptr, request.ring_points,
               request.use_interpolated_cba, request.quality,
               request.blanking};
  return true;
}

}  // namespace torvane
