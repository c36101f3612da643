// torvane-cli sweep: the residuals of every point for a list of ring radii in
// one wide table, the curve of their statistics against R, and its picture;
// R is chosen where the curve bends (its knee).

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/SweepRun.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchPlatform.h"
#include "app/cli/CliMessages.h"
#include "app/cli/ReductionOptions.h"
#include "app/cli/RingOptions.h"
#include "app/cli/SkippedRowsNote.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/StationOptions.h"
#include "app/cli/Subcommand.h"
#include "app/cli/SurveyWarnings.h"
#include "common/AtomicFile.h"
#include "common/DecimalNumber.h"
#include "common/FileClash.h"
#include "common/FileErrorLine.h"
#include "common/LocaleSeparator.h"
#include "common/SameFile.h"
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
  ReductionFlags reduction;
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
  double value = 0;
  const std::string& text = flags.band ? *flags.band : *flags.band_ratio;
  if (!ParseTypedDecimal(text, LocaleDecimalSeparator(), value) || !(value >= 0)) {
    return UsageError(std::string(flags.band ? "--band" : "--band-ratio") +
                      " takes a number >= 0; got '" + text + "'");
  }
  if (flags.band_ratio && value > 1) return UsageError("--band-ratio must be at most 1");
  std::string problem;
  if (!SweepRings(flags.radii, value, !flags.band, rings, problem)) {
    return UsageError("--radii: " + problem);
  }
  return std::nullopt;
}

// One of the files the sweep writes, as the user named it.
struct SweepOutput {
  AtomicFile* file;
  const char* what;
  std::string path;
};

// An output of the sweep could not be written: none of them is, and the
// message names the file and the system's reason.
int CannotWrite(const SweepOutput& output) {
  PrintError(FileErrorLine(std::string("Cannot write ") + output.what, output.path,
                           output.file->error()));
  return kExitRunFailed;
}

int RunSweepCommand(const SweepFlags& flags) {
  for (const auto& [flag, path] : {std::pair{"--curve", &flags.curve}, {"--plot", &flags.plot}}) {
    if (const auto stop = RefuseStandardOutput(flag, *path)) return *stop;
  }
  KeepStandardOutputFor(flags.output);
  std::vector<SweepRadius> rings;
  if (const auto stop = TakeRings(flags, rings)) return *stop;
  StationInput station;
  std::optional<GravityReduction> reduction;
  if (const auto stop =
          TakeReductionOptions(flags.reduction, flags.station, false, station, reduction)) {
    return *stop;
  }
  // The same file by any name (another spelling, a link) would lose the
  // survey or another output.
  std::vector<NamedFile> named = {{"--output", flags.output}};
  if (flags.curve) named.push_back({"--curve", *flags.curve});
  if (flags.plot) named.push_back({"--plot", *flags.plot});
  if (const auto clash = FindFileClash({{"--input", flags.input}}, named)) {
    return UsageError(FileClashMessage(*clash));
  }
  if (flags.plot && !EndsWithPng(*flags.plot)) {
    return UsageError("--plot takes a file name ending in .png; got '" + *flags.plot + "'");
  }
  // The table, curve and plot go to temporaries first, made before the run
  // so that a folder that takes no file is said at once; they are put in
  // place together once all three are complete.
  AtomicFile table_file(flags.output);
  std::optional<AtomicFile> curve_file;
  std::optional<AtomicFile> plot_file;
  std::vector<SweepOutput> outputs = {{&table_file, "the sweep table", flags.output}};
  if (flags.curve) outputs.push_back({&curve_file.emplace(*flags.curve), "the curve", *flags.curve});
  if (flags.plot) outputs.push_back({&plot_file.emplace(*flags.plot), "the plot", *flags.plot});
  for (const SweepOutput& output : outputs) {
    if (!output.file->ok()) return CannotWrite(output);
  }

  BatchPlatform platform(
      station.decimal_separator ? *station.decimal_separator : LocaleDecimalSeparator(),
      !flags.quiet && isatty(2));
  std::vector<double> radii;
  for (const SweepRadius& ring : rings) radii.push_back(ring.radius);
  StationSource survey{flags.input,
                       station.columns.value_or(PointColumns{}),
                       station.column_names.value_or(ColumnNames{}),
                       0,
                       {station.crs.value_or(""), station.work_crs.value_or("")},
                       reduction};
  survey.input_format = station.input_format;
  SweepOutcome outcome;
  const bool swept = RunSweep(platform, survey, rings, flags.blanking.Blanking(), outcome);
  platform.EndProgress();
  // What the read skipped is said whether or not the sweep went on: it may
  // be why the file gave no station.
  PrintSkippedRows(outcome.points.skipped, flags.input);
  if (!swept) return kExitRunFailed;
  const PointSet& points = outcome.points;
  WarnAboutUnits(points, radii, station.crs.has_value());
  const std::vector<SweepColumn>& swept_columns = outcome.columns;
  if (const auto stop = NoteEmptyRings(swept_columns)) return *stop;

  if (!WriteSweepTable(table_file, flags.output, points, swept_columns)) {
    return CannotWrite(outputs[0]);
  }
  const std::vector<CurveRow>& curve = outcome.curve;
  if (curve_file && !WriteSweepCurve(*curve_file, curve)) return CannotWrite(outputs[1]);
  if (plot_file && !WriteCurvePlot(*plot_file, SweepChart(curve))) {
    return CannotWrite(outputs.back());
  }
  std::vector<AtomicFile*> set;
  for (const SweepOutput& output : outputs) set.push_back(output.file);
  if (const AtomicFile* failed = CommitTogether(set)) {
    for (const SweepOutput& output : outputs) {
      if (output.file == failed) return CannotWrite(output);
    }
  }
  if (!flags.quiet) {
    std::fprintf(SummaryStream(), "Sweep of %zu radii over %zu points written to %s\n", rings.size(),
                points.points.size(), flags.output.c_str());
    if (flags.curve) std::fprintf(SummaryStream(), "Curve written to %s\n", flags.curve->c_str());
    if (flags.plot) std::fprintf(SummaryStream(), "Plot written to %s\n", flags.plot->c_str());
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
  AddReductionOptions(*sweep, flags->reduction);
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
            return RunSweepCommand(*flags);
          }};
}

}  // namespace torvane
