#include "app/cli/RingFlagChecks.h"

#include <string>

#include "app/cli/CliMessages.h"
#include "common/DecimalNumber.h"

namespace torvane {
namespace {

// The field's text and value; false (told as a usage error) when it is not
// a number.
bool ReadFlag(const std::string& field, char separator, const char* flag, std::string& text,
              double& value) {
  text = field;
  if (ParseTypedDecimal(text, separator, value)) return true;
  UsageError(std::string(flag) + " '" + text + "' is not a number (decimal separator '" +
             separator + "')");
  return false;
}

}  // namespace

std::optional<int> CheckRingFlags(const BatchFields& fields, char separator,
                                  RingFlagsGiven given) {
  std::string radius_text;
  double radius = 0;
  if (!ReadFlag(fields.radius, separator, "--radius", radius_text, radius)) {
    return kExitUsageError;
  }
  if (!(radius > 0)) {
    return UsageError("--radius " + radius_text + ": the ring radius R must be greater than 0");
  }
  if (!fields.use_grid) {
    std::string band_text;
    double band = 0;
    if (!ReadFlag(fields.band, separator, "--band", band_text, band)) return kExitUsageError;
    if (given.band && !(band > 0)) {
      return UsageError("--band " + band_text +
                        ": the band D (half-width of the ring) must be greater than 0");
    }
    if (band > radius) {
      return UsageError("--band " + band_text + " is wider than --radius " + radius_text +
                        ": the band D must be at most the radius R");
    }
  }
  if (given.gridding_radius) {
    std::string text;
    double gridding = 0;
    if (!ReadFlag(fields.gridding, separator, "--gridding-radius", text, gridding)) {
      return kExitUsageError;
    }
    if (!(gridding >= 0)) {
      return UsageError("--gridding-radius " + text +
                        ": give 0 (the previews use R) or a radius greater than 0");
    }
  }
  return std::nullopt;
}

}  // namespace torvane
