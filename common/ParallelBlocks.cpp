#include "common/ParallelBlocks.h"

#include <omp.h>

#include <algorithm>
#include <chrono>
#include <exception>

namespace torvane {
namespace {

constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kSmallestBlock = 16;
constexpr std::size_t kLargestBlock = std::size_t{1} << 16;
constexpr double kBlockSeconds = 0.01;

}  // namespace

int WorkerThreads() { return omp_get_max_threads(); }

bool RunInBlocks(std::size_t count, const std::function<void(std::size_t, int)>& work,
                 const std::function<bool(std::size_t)>& step) {
  std::size_t block = kFirstBlock;
  std::size_t begin = 0;
  while (begin < count) {
    const std::size_t end = std::min(count, begin + block);
    const auto started = std::chrono::steady_clock::now();
    std::exception_ptr failure;
    const auto first = static_cast<long long>(begin);
    const auto last = static_cast<long long>(end);
#pragma omp parallel for schedule(dynamic, 16)
    for (long long k = first; k < last; ++k) {
      try {
        work(static_cast<std::size_t>(k), omp_get_thread_num());
      } catch (...) {
#pragma omp critical(torvane_block_failure)
        if (!failure) failure = std::current_exception();
      }
    }
    if (failure) std::rethrow_exception(failure);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    for (std::size_t done = begin + 1; done <= end; ++done) {
      if (!step(done)) return false;
    }
    // Aim the next block at the target time, changing it by at most 4 times.
    const double scale = std::clamp(kBlockSeconds / std::max(seconds, 1e-6), 0.25, 4.0);
    block = std::clamp(static_cast<std::size_t>(static_cast<double>(block) * scale), kSmallestBlock,
                       kLargestBlock);
    begin = end;
  }
  return true;
}

}  // namespace torvane
