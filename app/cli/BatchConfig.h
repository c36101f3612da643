#pragma once
// What a batch run starts from: the window's fields as it shows them when it
// opens, or as a settings file (written by the window) fills them. The flags
// given then replace what they name.

#include <optional>
#include <string>

#include "points/PointLine.h"

namespace torvane {

// The run's fields as the window would hold them: numbers as texts in the
// decimal separator of the run, as typed or as the window shows a stored one.
struct BatchFields {
  std::string input;
  std::string output;
  std::string radius;       // R
  std::string band;         // D
  std::string gridding;     // "Radius for gridding", 0 for R
  PointColumns columns;     // X, Y, point and CBA by position
  bool use_grid = false;    // "Use grid"
  std::string grid;
  std::string ring_points;  // N
  bool interpolated_cba = false;
  bool previews = false;    // "Preview grids"
};

// The window's starting fields, or those of the settings file `config`, as
// the window reads it at its start. False, with the reason on stderr, when
// the file is missing, cannot be read, or is not a settings record (its size
// differs).
bool ReadBatchFields(const std::optional<std::string>& config, char decimal_separator,
                     BatchFields& fields);

}  // namespace torvane
