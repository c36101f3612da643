#include "app/cli/CalcRefusal.h"

#include <string>

#include "app/RunChecks.h"
#include "app/cli/CliMessages.h"
#include "common/DecimalNumber.h"
#include "common/SameFile.h"
#include "residual/RingLimits.h"

namespace torvane {

bool TakeCalcFields(Reporter& reporter, const BatchFields& fields, RunRequest& request) {
  if (const auto refusal = CheckRunFiles(fields.input, fields.output, fields.use_grid,
                                         fields.grid)) {
    reporter.ShowInfo(refusal->message);
    return false;
  }
  int ring_points = 0;
  if (fields.use_grid &&
      !(ParseWholeNumber(fields.ring_points, ring_points) && ring_points >= 1)) {
    reporter.ShowInfo(kRingPointsRefusal);
    return false;
  }
  if (fields.use_grid && ring_points > kMostRingPoints) {
    reporter.ShowInfo(RingPointsLimitMessage());
    return false;
  }
  // Texts that are no number are refused with the conversion's own message.
  const char separator = reporter.DecimalSeparator();
  const auto read = [&](const std::string& text, double& value) {
    if (ParseTypedDecimal(text, separator, value)) return true;
    reporter.ShowInfo(NotANumberMessage(text));
    return false;
  };
  double radius = 0;
  if (!read(fields.radius, radius)) return false;
  double band = 0;
  if (!fields.use_grid) {
    if (!read(fields.band, band)) return false;
    if (band > radius) {
      reporter.ShowInfo(kBandRefusal);
      return false;
    }
  }
  double gridding = 0;
  if (!fields.gridding.empty() && !read(fields.gridding, gridding)) return false;

  request.stations.path = fields.input;
  request.stations.columns = fields.columns;
  request.output_path = fields.output;
  request.ring.radius = radius;
  request.ring.band = band;
  request.gridding_radius = gridding;
  request.ring.use_grid = fields.use_grid;
  if (fields.use_grid) {
    request.ring.grid_path = fields.grid;
    request.ring.ring_points = ring_points;
  }
  request.ring.use_interpolated_cba = fields.interpolated_cba;
  return true;
}

void NoteSameFileRefusal(const BatchFields& fields) {
  const std::string& output = fields.output;
  const std::string& input = fields.input;
  const std::string& grid = fields.grid;
  if (output.empty()) return;
  if (SameFile(output, input)) {
    PrintNote("--output " + output + " is the file --input " + input +
              " names: the table would replace the survey");
  } else if (fields.use_grid && SameFile(output, grid)) {
    PrintNote("--output " + output + " is the file --grid " + grid +
              " names: the table would replace the grid");
  }
}

}  // namespace torvane
