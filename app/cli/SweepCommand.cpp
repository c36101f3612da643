// torvane-cli sweep: the residuals of every point for a list of ring radii in
// one wide table, the curve of their statistics against R, and its picture;
// R is chosen where the curve bends (its knee).

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "app/cli/RadiusList.h"
#include "app/cli/RingOptions.h"
#include "app/cli/SkippedRowsNote.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/StationOptions.h"
#include "app/cli/Subcommand.h"
#include "app/cli/SurveyWarnings.h"
#include "common/DecimalNumber.h"
#include "common/LocaleSeparator.h"
#include "common/SameFile.h"
#include "common/SystemMemory.h"
#include "points/PointFileReader.h"
#include "points/SurveyProjection.h"
#include "preview/CurvePlot.h"
#include "residual/RadiusSweep.h"
#include "residual/SweepCurve.h"
#include "residual/SweepTable.h"

namespace torvane {
namespace {

struct SweepFlags {
  std::string input;
  std::string output;
  std::string radii;
  std::optional<std::string> band;
  std::optional<std::string> band_ratio;
  StationFlags station;
  std::optional<std::string> curve;
  std::optional<std::string> plot;
  BlankingFlags blanking;
  bool quiet = false;
};

// The N = 0 note of each radius where it applies, as a single run gives
// it; when no radius gave any station a ring, an error naming the radii
// (almost always R in other units than the coordinates), and nothing is
// written.
std::optional<int> NoteEmptyRings(const std::vector<SweepColumn>& swept) {
  std::string radii;
  bool any_ring = false;
  for (const SweepColumn& column : swept) {
    const auto empty =
        static_cast<std::size_t>(std::count(column.n.begin(), column.n.end(), 0));
    radii += (radii.empty() ? "" : ", ") + RadiusName(column.ring.radius);
    any_ring |= empty < column.n.size();
    if (empty > 0) {
      PrintNote("R = " + RadiusName(column.ring.radius) + ": N = 0 for " +
                std::to_string(empty) + " of " + std::to_string(column.n.size()) +
                " points: no ring value, residual written as 0");
    }
  }
  if (any_ring || swept.empty()) return std::nullopt;
  PrintError("no station has a ring value at any radius (R = " + radii +
             "): check the radii, the band and the coordinates' units (R and D are in "
             "metres); nothing was written");
  return kExitRunFailed;
}

bool EndsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".png";
}

// The rings of the sweep from the flags; a usage error answers its exit code.
std::optional<int> TakeRings(const SweepFlags& flags, std::vector<SweepRadius>& rings) {
  std::vector<double> radii;
  std::string problem;
  if (!ParseRadiusList(flags.radii, radii, problem)) return UsageError("--radii: " + problem);
  double value = 0;
  const std::string& text = flags.band ? *flags.band : *flags.band_ratio;
  if (!ParseDecimal(text, '.', value) || !(value >= 0)) {
    return UsageError(std::string(flags.band ? "--band" : "--band-ratio") +
                      " takes a number >= 0; got '" + text + "'");
  }
  if (flags.band_ratio && value > 1) return UsageError("--band-ratio must be at most 1");
  std::set<std::string> names;
  for (const double radius : radii) {
    const double band = flags.band ? value : value * radius;
    if (band > radius) {
      return UsageError("--band " + text + " is wider than the radius " + RadiusName(radius) +
                        " (D must be <= R)");
    }
    if (!names.insert(RadiusName(radius)).second) {
      return UsageError("--radii: " + RadiusName(radius) + " is listed twice");
    }
    rings.push_back({radius, band});
  }
  return std::nullopt;
}

int RunSweep(const SweepFlags& flags) {
  for (const auto& [flag, path] : {std::pair{"--curve", &flags.curve}, {"--plot", &flags.plot}}) {
    if (const auto stop = RefuseStandardOutput(flag, *path)) return *stop;
  }
  KeepStandardOutputFor(flags.output);
  std::vector<SweepRadius> rings;
  if (const auto stop = TakeRings(flags, rings)) return *stop;
  StationInput station;
  if (const auto stop = TakeStationOptions(flags.station, station)) return *stop;
  // The same file by any name (another spelling, a link) would lose the survey.
  if (SameFile(flags.output, flags.input)) {
    return UsageError("--output names the point file " + flags.input +
                      ": Input and output file name must not be the same.");
  }
  if (flags.plot && !EndsWithPng(*flags.plot)) {
    return UsageError("--plot takes a file name ending in .png; got '" + *flags.plot + "'");
  }

  BatchPlatform platform(
      station.decimal_separator ? *station.decimal_separator : LocaleDecimalSeparator(),
      !flags.quiet && isatty(2));
  PointSet points;
  const bool read = ReadPointFile(platform, flags.input, station.columns.value_or(PointColumns{}),
                                  points, station.column_names.value_or(ColumnNames{}),
                                  station.input_format);
  PrintSkippedRows(points.skipped, flags.input);
  if (!read || !ProjectSurvey(platform, {station.crs.value_or(""), station.work_crs.value_or("")},
                              points)) {
    return kExitRunFailed;
  }
  const std::uint64_t need = SweepMemory(rings.size(), points.points.size());
  const std::uint64_t available = AvailablePhysicalMemory();
  if (available != 0 && need > available) {
    PrintError("the sweep of " + std::to_string(rings.size()) + " radii over " +
               std::to_string(points.points.size()) + " points needs " +
               std::to_string(need >> 20) + " MiB; only " + std::to_string(available >> 20) +
               " MiB are available: sweep fewer radii at a time");
    return kExitRunFailed;
  }
  std::vector<double> radii;
  for (const SweepRadius& ring : rings) radii.push_back(ring.radius);
  WarnAboutUnits(points, radii, station.crs.has_value());
  const std::vector<SweepColumn> swept =
      SweepRadii(platform, points, rings, flags.blanking.Blanking());
  platform.EndProgress();
  if (const auto stop = NoteEmptyRings(swept)) return *stop;

  if (!WriteSweepTable(flags.output, points, swept)) {
    PrintError("cannot write the sweep table " + flags.output);
    return kExitRunFailed;
  }
  if (!flags.quiet) {
    std::fprintf(SummaryStream(), "Sweep of %zu radii over %zu points written to %s\n",
                 rings.size(), points.points.size(), flags.output.c_str());
  }
  const std::vector<CurveRow> curve = SweepCurve(swept);
  if (flags.curve) {
    if (!WriteSweepCurve(*flags.curve, curve)) {
      PrintError("cannot write the curve " + *flags.curve);
      return kExitRunFailed;
    }
    if (!flags.quiet) std::fprintf(SummaryStream(), "Curve written to %s\n", flags.curve->c_str());
  }
  if (flags.plot) {
    CurveChart chart;
    chart.title = "Ring residuals against the ring radius";
    chart.x_caption = "ring radius R [m]";
    chart.y_caption = "residual [mGal]";
    CurveSeries rms{"RMS residual", {}, 0.80, 0.15, 0.10, false};
    CurveSeries mean_abs{"mean |residual|", {}, 0.10, 0.35, 0.75, true};
    for (const CurveRow& row : curve) {
      chart.x.push_back(row.radius);
      rms.y.push_back(row.rms_residual);
      mean_abs.y.push_back(row.mean_abs_residual);
    }
    chart.series = {rms, mean_abs};
    if (!WriteCurvePlot(*flags.plot, chart)) {
      PrintError("cannot write the plot " + *flags.plot);
      return kExitRunFailed;
    }
    if (!flags.quiet) std::fprintf(SummaryStream(), "Plot written to %s\n", flags.plot->c_str());
  }
  return kExitWritten;
}

}  // namespace

Subcommand AddSweepCommand(CLI::App& app) {
  auto flags = std::make_shared<SweepFlags>();
  CLI::App* sweep = app.add_subcommand(
      "sweep",
      "Residuals of every point for several ring radii in one wide table (TORVANE_<R>, N_<R>\n"
      "per radius), with the curve of their statistics against R to choose R at its knee");
  sweep->add_option("--input", flags->input, "Point file: columns of X, Y, point number, CBA")
      ->required();
  sweep->add_option("--output", flags->output,
                    "Wide table to write: fixed width, or CSV when the name ends in .csv")
      ->required();
  sweep->add_option("--radii", flags->radii,
                    "Radii in metres: R1,R2,... or START:STOP:STEP (STOP included when\n"
                    "reached); numbers written with '.'")
      ->required();
  CLI::Option* band = sweep->add_option("--band", flags->band,
                                        "The same half-width D for every radius (0 <= D <= R)");
  CLI::Option* ratio = sweep->add_option("--band-ratio", flags->band_ratio,
                                         "D = F * R for each radius (0 <= F <= 1)");
  band->excludes(ratio);
  AddStationOptions(*sweep, flags->station);
  sweep->add_option("--curve", flags->curve,
                    "CSV of one row per radius: radius, band, points_with_ring, mean_n,\n"
                    "rms_residual, mean_abs_residual, correlation_previous, share_gap_over_180");
  sweep->add_option("--plot", flags->plot,
                    "PNG of rms_residual and mean_abs_residual against R");
  AddBlankingOptions(*sweep, flags->blanking);
  sweep->add_flag("--quiet", flags->quiet, "No progress bar and no summary lines");
  // The options are gone when the command runs: their values tell.
  return {sweep, [flags] {
            if (!flags->band && !flags->band_ratio) {
              return UsageError("sweep needs --band D or --band-ratio F");
            }
            return RunSweep(*flags);
          }};
}

}  // namespace torvane
