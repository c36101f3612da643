#pragma once
// What the fuzz entry points share: the input written to a file (the readers
// take paths), a platform that counts what the user is told, and the macro
// that turns an entry point into a libFuzzer target.
//
// An entry point takes the fuzzer's bytes and answers what went wrong, or
// an empty text when the code under test behaved. The same entry points
// run in the normal test suite over the seed corpus and over every input
// that once made a target fail (fuzz_corpus_test).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/MemoryPlatform.h"

namespace torvane::fuzzing {

using Bytes = std::span<const std::uint8_t>;

// A file in memory (memfd) that each input replaces: the readers open it by
// its path like any other file, and no disk is touched. One per entry point,
// reused from input to input.
class InputFile {
 public:
  InputFile();
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Makes `bytes` the whole content; answers the path to open.
  const std::string& Hold(Bytes bytes);
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// A window-less platform that counts messages; the memory it reports is
// fixed, so that no input can make a grid claim the machine's memory.
class CountingPlatform : public MemoryPlatform {
 public:
  explicit CountingPlatform(char decimal_separator = '.',
                            std::uint64_t available_memory = std::uint64_t{256} << 20);
  void ShowInfo(std::string_view text) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;

  int messages = 0;
};

// A folder in memory (/dev/shm when there is one) for entry points that
// write files, removed with its content.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

}  // namespace torvane::fuzzing

// Defines the libFuzzer target of `entry` in a fuzz build; nothing in the
// test build. A problem the entry reports aborts, so the fuzzer keeps the
// input.
#ifdef TORVANE_LIBFUZZER
#include <cstdio>
#include <cstdlib>
#define TORVANE_FUZZ_TARGET(entry)                                                  \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    const std::string problem = entry({data, size});                                \
    if (!problem.empty()) {                                                         \
      std::fprintf(stderr, "%s: %s\n", #entry, problem.c_str());                    \
      std::abort();                                                                 \
    }                                                                               \
    return 0;                                                                       \
  }
#else
#define TORVANE_FUZZ_TARGET(entry)
#endif
