#include "app/cli/RingFlagChecks.h"

#include <string>

#include "app/cli/CliMessages.h"
#include "common/DecimalNumber.h"

namespace torvane {
namespace {

// The field's text and value; false (told as a usage error) when it is not
// a number.
bool ReadFlag(Platform& platform, Control field, const char* flag, std::string& text,
              double& value) {
  text = platform.Text(field);
  if (ParseTypedDecimal(text, platform.DecimalSeparator(), value)) return true;
  UsageError(std::string(flag) + " '" + text + "' is not a number (decimal separator '" +
             platform.DecimalSeparator() + "')");
  return false;
}

}  // namespace

std::optional<int> CheckRingFlags(Platform& platform, RingFlagsGiven given) {
  std::string radius_text;
  double radius = 0;
  if (!ReadFlag(platform, Control::txt_rfs, "--radius", radius_text, radius)) {
    return kExitUsageError;
  }
  if (!(radius > 0)) {
    return UsageError("--radius " + radius_text + ": the ring radius R must be greater than 0");
  }
  if (!platform.Checked(Control::chb_grd)) {
    std::string band_text;
    double band = 0;
    if (!ReadFlag(platform, Control::txt_rfa, "--band", band_text, band)) return kExitUsageError;
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
    if (!ReadFlag(platform, Control::txt_nearest, "--gridding-radius", text, gridding)) {
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
