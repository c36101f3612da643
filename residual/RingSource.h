#pragma once
// Where a run's rings take their values: the other points within R +- D, or
// N samples of a CBA grid on the circle of radius R. One place loads the grid
// and builds the ring settings, for the run and for anything that gathers
// the same rings again afterwards.

#include <cstdint>
#include <optional>
#include <string>

#include "common/Reporter.h"
#include "grid/Gridimport.h"
#include "residual/RingQuality.h"
#include "residual/RingResiduals.h"

namespace torvane {

// The ring of a run, as the user described it.
struct RingRequest {
  double radius = 0;  // R, metres
  double band = 0;    // D, half-width of the ring along the radius (point mode)
  // Grid mode: the ring is sampled from a CBA grid file.
  bool use_grid = false;
  std::string grid_path = {};
  bool use_interpolated_cba = false;  // the grid's value at the point replaces its CBA
  std::int32_t ring_points = 0;       // N, samples on the ring, >= 1 in grid mode
  std::uint64_t grid_memory_limit = UINT64_MAX;  // most memory the grid's nodes may take
  bool quality = false;                          // GAP, SECTORS and SD of every ring
  RingBlanking blanking = {};  // points whose ring falls short get no residual (NaN)
};

// The ring settings of a request, with the grid they sample in grid mode.
// It stays where it was made: the settings point at its grid.
class RingSource {
 public:
  RingSource() = default;
  RingSource(const RingSource&) = delete;
  RingSource& operator=(const RingSource&) = delete;

  // Loads the grid in grid mode. False, with the user told, when it could not
  // be loaded.
  bool Load(Reporter& reporter, const RingRequest& request);
  const RingSettings& settings() const { return settings_; }
  // The loaded grid in grid mode; null in point mode or before Load.
  const TGridImport* grid() const { return grid_ ? &*grid_ : nullptr; }
  // False when a grid read from its file changed while its nodes were read:
  // the samples cannot be trusted.
  bool GridUnchanged() { return !grid_ || grid_->FileUnchanged(); }

 private:
  std::optional<TGridImport> grid_;
  RingSettings settings_;
};

}  // namespace torvane
