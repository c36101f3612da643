#include "app/SurveyOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string_view>

#include "app/Hvw.h"
#include "common/AtomicFile.h"
#include "common/DecimalNumber.h"
#include "points/PointLine.h"

namespace torvane {
namespace {

std::string NumberText(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Stored texts are single lines: a CRS's WKT keeps its words, not its breaks.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace

std::string SurveyOptionsPath(const std::string& settings_path) {
  const std::size_t slash = settings_path.find_last_of('/');
  const std::size_t dot = settings_path.find_last_of('.');
  const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_extension ? settings_path.substr(0, dot) : settings_path) + ".options";
}

SurveyOptions ReadSurveyOptions(const std::string& path) {
  SurveyOptions options;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view key = std::string_view(line).substr(0, equals);
    const std::string value = line.substr(equals + 1);
    double number = 0;
    const bool is_number = ParseDecimal(value, '.', number);
    if (key == "crs") {
      options.crs.crs = value;
    } else if (key == "work_crs") {
      options.crs.work_crs = value;
    } else if (key == "decimal_separator") {
      options.decimal_separator = value == "." || value == "," ? value[0] : 0;
    } else if (key == "quality") {
      options.quality = value == "1";
    } else if (key == "min_ring_points" && is_number && number >= 0 && number <= 1e9) {
      options.blanking.min_points = static_cast<int>(number);
    } else if (key == "max_gap" && is_number && number >= 0) {
      options.blanking.max_gap = number;
    } else if (key == "absolute_gravity") {
      options.absolute_gravity = value == "1";
    } else if (key == "height_column" && is_number && number >= 0 && number <= kMaximumColumn) {
      options.height_column = static_cast<int>(number);
    } else if (key == "density" && is_number && number > 0) {
      options.reduction.density = number;
    } else if (key == "ellipsoid") {
      options.reduction.ellipsoid = EllipsoidNamed(value).value_or(Ellipsoid::kGrs80);
    } else if (key == "free_air_gradient" && is_number) {
      options.reduction.free_air_gradient = number;
    } else if (key == "bullard_b") {
      options.reduction.bullard_b = value == "1";
    } else if (key == "grid_memory_limit_mib" && is_number && number >= 0 && number <= 1e12) {
      options.grid_memory_limit_mib = static_cast<std::uint64_t>(number);
    } else if (key == "table") {
      options.csv_table = value == "csv";
    } else if (key == "recent" && !value.empty() &&
               options.recent_files.size() < kMostRecentFiles) {
      options.recent_files.push_back(value);
    } else if (key == "recent_crs" && !value.empty() &&
               options.recent_crs.size() < kMostRecentFiles) {
      options.recent_crs.push_back(value);
    }
  }
  return options;
}

bool WriteSurveyOptions(const std::string& path, const SurveyOptions& options) {
  std::string text;
  const auto put = [&text](std::string_view key, const std::string& value) {
    text.append(key).append("=").append(OneLine(value)).append("\n");
  };
  put("crs", options.crs.crs);
  put("work_crs", options.crs.work_crs);
  put("decimal_separator",
      options.decimal_separator == 0 ? "auto" : std::string(1, options.decimal_separator));
  put("quality", options.quality ? "1" : "0");
  put("min_ring_points", std::to_string(options.blanking.min_points));
  if (std::isfinite(options.blanking.max_gap)) put("max_gap", NumberText(options.blanking.max_gap));
  put("table", options.csv_table ? "csv" : "fixed");
  put("absolute_gravity", options.absolute_gravity ? "1" : "0");
  put("height_column", std::to_string(options.height_column));
  put("density", NumberText(options.reduction.density));
  put("ellipsoid", options.reduction.ellipsoid == Ellipsoid::kWgs84 ? "wgs84" : "grs80");
  if (options.reduction.free_air_gradient) {
    put("free_air_gradient", NumberText(*options.reduction.free_air_gradient));
  }
  put("bullard_b", options.reduction.bullard_b ? "1" : "0");
  put("grid_memory_limit_mib", std::to_string(options.grid_memory_limit_mib));
  for (const std::string& file : options.recent_files) put("recent", file);
  for (const std::string& crs : options.recent_crs) put("recent_crs", crs);
  AtomicFile file(path);
  return file.ok() && file.Write(text.data(), text.size()) && file.Commit();
}

void RememberRecent(std::vector<std::string>& list, const std::string& path) {
  if (path.empty()) return;
  list.erase(std::remove(list.begin(), list.end(), path), list.end());
  list.insert(list.begin(), path);
  if (list.size() > kMostRecentFiles) list.resize(kMostRecentFiles);
}

void ApplySurveyOptions(const SurveyOptions& options, TfrmMain& form) {
  RunRequest& request = form.Request();
  request.stations.crs = options.crs;
  request.stations.decimal_separator = options.decimal_separator;
  request.ring.quality = options.quality;
  request.ring.blanking = options.blanking;
  request.stations.gravity_reduction =
      options.absolute_gravity ? std::optional<GravityReduction>(options.reduction) : std::nullopt;
  constexpr std::uint64_t kMebibyte = 1024 * 1024;
  const std::uint64_t mib = options.grid_memory_limit_mib;
  request.ring.grid_memory_limit =
      mib == 0 || mib > UINT64_MAX / kMebibyte ? UINT64_MAX : mib * kMebibyte;
  form.set_height_column(options.height_column);
  form.set_table_ending(TableEnding(options));
}

std::string TableEnding(const SurveyOptions& options) {
  return options.csv_table ? "_torvane.csv" : "_torvane.dat";
}

}  // namespace torvane
