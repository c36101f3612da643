// Every fuzz entry point over its seed corpus and over every input that once
// made its fuzz target fail: each file must pass the entry's checks, in the
// normal build and under the sanitizers.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/TestFiles.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::testing {
namespace {

namespace fs = std::filesystem;
using fuzzing::FuzzEntry;

std::vector<fs::path> InputsOf(std::string_view target, std::string_view kind) {
  const fs::path folder = fs::path(SourceDir()) / "tests" / "fuzz" / kind / target;
  std::vector<fs::path> inputs;
  if (fs::is_directory(folder)) {
    for (const auto& entry : fs::directory_iterator(folder)) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

class FuzzInputs : public ::testing::TestWithParam<FuzzEntry> {};

TEST_P(FuzzInputs, CorpusAndFormerFailuresPass) {
  const FuzzEntry& entry = GetParam();
  const std::vector<fs::path> corpus = InputsOf(entry.name, "corpus");
  EXPECT_GE(corpus.size(), 3u) << "a seed corpus of a few files for " << entry.name;
  std::vector<fs::path> inputs = corpus;
  for (const fs::path& former : InputsOf(entry.name, "regressions")) inputs.push_back(former);
  for (const fs::path& input : inputs) {
    const std::string bytes = ReadFile(input.string());
    const std::string problem = entry.run(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_EQ(problem, "") << input.string();
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(fuzzing::kFuzzEntries),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace torvane::testing
