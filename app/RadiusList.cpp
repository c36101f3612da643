#include "app/RadiusList.h"

#include <cmath>

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

bool Number(const std::string& text, double& value, std::string& problem) {
  if (ParseDecimal(text, '.', value)) return true;
  problem = "'" + text + "' is not a number";
  return false;
}

bool Range(const std::string& text, std::vector<double>& radii, std::string& problem) {
  const std::size_t first = text.find(':');
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string::npos || text.find(':', second + 1) != std::string::npos) {
    problem = "a range is START:STOP:STEP";
    return false;
  }
  double start = 0, stop = 0, step = 0;
  if (!Number(text.substr(0, first), start, problem) ||
      !Number(text.substr(first + 1, second - first - 1), stop, problem) ||
      !Number(text.substr(second + 1), step, problem)) {
    return false;
  }
  if (!(step > 0)) {
    problem = "the step of a range must be greater than 0";
    return false;
  }
  if (stop < start) {
    problem = "a range's STOP must not be below its START";
    return false;
  }
  // Each radius from START by multiplying, so that no error builds up; one
  // within a hair of STOP is STOP.
  const double count = std::floor((stop - start) / step * (1 + 1e-12) + 1e-9) + 1;
  if (count > static_cast<double>(kMostSweepRadii)) {
    problem = "the range gives more than " + std::to_string(kMostSweepRadii) + " radii";
    return false;
  }
  for (double k = 0; k < count; ++k) {
    const double radius = start + k * step;
    radii.push_back(std::fabs(radius - stop) <= 1e-9 * step ? stop : radius);
  }
  return true;
}

}  // namespace

bool ParseRadiusList(const std::string& text, std::vector<double>& radii, std::string& problem) {
  radii.clear();
  if (text.find(':') != std::string::npos) {
    if (!Range(text, radii, problem)) return false;
  } else {
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = text.find(',', start);
      double radius = 0;
      if (!Number(text.substr(start, comma - start), radius, problem)) return false;
      radii.push_back(radius);
      if (radii.size() > kMostSweepRadii) {
        problem = "more than " + std::to_string(kMostSweepRadii) + " radii";
        return false;
      }
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  for (const double radius : radii) {
    if (!(radius > 0)) {
      problem = "every radius must be greater than 0";
      return false;
    }
  }
  return true;
}

}  // namespace torvane
