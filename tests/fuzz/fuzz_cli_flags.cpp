// torvane-cli's command line on any words (the input split at NUL bytes):
// the parser of every flag and subcommand, then the parsers a run applies
// to the words later (radius lists, numbers under both decimal separators,
// whole numbers, column letters and names, map sizes, grid format names).
// Each answers a value it promises or refuses; nothing is run.

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/cli/BatchOptions.h"
#include "app/cli/MapOptions.h"
#include "app/RadiusList.h"
#include "common/DecimalNumber.h"
#include "grid/GridFormat.h"
#include "points/ColumnLetters.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {
namespace {

// Standard output and error go nowhere while the parser runs: a usage
// error or --help on every input would fill the fuzzer's log.
class Silence {
 public:
  Silence() {
    std::fflush(stdout);
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    out_ = dup(1);
    err_ = dup(2);
    dup2(null, 1);
    dup2(null, 2);
    close(null);
  }
  ~Silence() {
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(out_, 1);
    dup2(err_, 2);
    close(out_);
    close(err_);
  }
  Silence(const Silence&) = delete;
  Silence& operator=(const Silence&) = delete;

 private:
  int out_ = -1;
  int err_ = -1;
};

std::string CheckWord(const std::string& word) {
  std::vector<double> radii;
  std::string problem;
  if (ParseRadiusList(word, radii, problem)) {
    if (radii.empty() || radii.size() > kMostSweepRadii) return "a radius list of no or too many radii";
    for (const double radius : radii) {
      if (!(radius > 0) || !std::isfinite(radius)) return "a radius list with a radius <= 0";
    }
  } else if (problem.empty()) {
    return "a refused radius list without a reason";
  }
  for (const char separator : {'.', ','}) {
    double value = 0;
    if (ParseDecimal(word, separator, value) && std::isnan(value) &&
        word.find_first_of("nN") == std::string::npos) {
      return "a number that is no number from a text without one";
    }
  }
  int whole = 0;
  (void)ParseWholeNumber(word, whole);
  PointColumns columns;
  if (ParseColumnLetters(word, columns)) {
    for (const int column : {columns.x, columns.y, columns.cba}) {
      if (column < 0 || column > 25) return "a column letter beyond A to Z";
    }
    // The point alone may be '-': the stations are then numbered.
    if ((columns.point < 0 || columns.point > 25) && columns.point != kNumberedPoints) {
      return "a point column beyond A to Z and not '-'";
    }
  }
  ColumnNames names;
  (void)ParseColumnNames(word, names);
  if (const std::optional<MapSize> size = ParseMapSize(word)) {
    if (size->width < 1 || size->height < 1) return "a map of no pixels";
  }
  (void)GridFormatNamed(word);
  (void)GridFormatOfPath(word);
  return "";
}

}  // namespace

std::string FuzzCliFlags(Bytes data) {
  std::vector<std::string> words = {"torvane-cli"};
  std::string word;
  for (const std::uint8_t byte : data) {
    if (byte != 0) {
      word += static_cast<char>(byte);
      continue;
    }
    words.push_back(word);
    word.clear();
  }
  if (!word.empty()) words.push_back(word);
  if (words.size() > 64) words.resize(64);
  for (const std::string& w : words) {
    const std::string problem = CheckWord(w);
    if (!problem.empty()) return problem + ": '" + w + "'";
  }
  // A CRS would be looked up in PROJ's database: a library of its own, and
  // slow; the flags around it are what is fuzzed here.
  for (std::string& w : words) {
    if (w.starts_with("--crs") || w.starts_with("--work-crs")) w = "--quiet";
  }
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  BatchOptions options;
  std::function<int()> subcommand;
  std::optional<int> stop;
  {
    const Silence quiet;
    stop = ParseBatchOptions(static_cast<int>(words.size()), argv.data(), options, subcommand);
  }
  if (stop && *stop != 0 && *stop != 2) return "the parser stopped with neither 0 nor 2";
  if (!stop && !subcommand && !options.config && (!options.input || !options.output)) {
    return "a run without its files went ahead";
  }
  return "";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzCliFlags)
