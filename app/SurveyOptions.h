#pragma once
// The window's survey options: what the command line's station and ring
// flags say (the coordinate systems, the CSV decimal separator, the quality
// columns and the blanking rules, CSV or fixed-width tables) and the files
// opened last. They live in a second settings file beside the 820-byte
// record, which stays as it is: one "key=value" line each, UTF-8 text.

#include <cstdint>
#include <string>
#include <vector>

#include "points/GravityReduction.h"
#include "points/SurveyProjection.h"
#include "residual/RingQuality.h"

namespace torvane {

class TfrmMain;

struct SurveyOptions {
  SurveyCrs crs;               // empty: the file's coordinates as they are
  char decimal_separator = 0;  // of the point file: 0 automatic (the locale's), '.' or ','
  bool quality = false;        // GAP, SECTORS and SD columns
  RingBlanking blanking;       // min_points 0 and an infinite gap: no blanking
  bool csv_table = false;      // tables proposed as CSV (name ending in .csv)
  // The CBA column holds absolute gravity (mGal), reduced with the height of
  // `height_column` (0 = A) to the simple Bouguer anomaly the rings take.
  bool absolute_gravity = false;
  int height_column = 3;
  // The ellipsoid, the plate's density, the free-air gradient and Bullard B.
  GravityReduction reduction;
  // Grid mode: most MiB the grid's nodes may take in memory (a larger grid
  // is read from its file); 0: no limit but the machine's.
  std::uint64_t grid_memory_limit_mib = 0;
  std::vector<std::string> recent_files;  // newest first
  std::vector<std::string> recent_crs;    // CRS texts used, newest first
};

inline constexpr std::size_t kMostRecentFiles = 8;

// The options file beside a settings file: "torvane.cfg" -> "torvane.options".
std::string SurveyOptionsPath(const std::string& settings_path);

// A missing file gives the defaults; lines that are not understood are
// skipped, so a file from a later version still reads.
SurveyOptions ReadSurveyOptions(const std::string& path);
// Replaces the file whole, or leaves it as it was (false).
bool WriteSurveyOptions(const std::string& path, const SurveyOptions& options);

// Puts `path` first in `list`, once, keeping at most kMostRecentFiles.
void RememberRecent(std::vector<std::string>& list, const std::string& path);

// How proposed table names end: "_torvane.csv" or "_torvane.dat".
std::string TableEnding(const SurveyOptions& options);

// Hands the options to the window's logic for its next runs.
void ApplySurveyOptions(const SurveyOptions& options, TfrmMain& form);

}  // namespace torvane
