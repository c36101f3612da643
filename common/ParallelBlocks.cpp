#include "common/ParallelBlocks.h"

#include <omp.h>

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace torvane {
namespace {

// Items are handed out in chunks of this many: small enough that the
// calling thread steps over the finished items often, large enough that
// handing them out costs nothing worth measuring.
constexpr std::size_t kChunk = 32;

}  // namespace

int WorkerThreads() { return omp_get_max_threads(); }

// One team of threads for the whole loop, with no barrier until its end:
// every thread takes the next chunk as soon as it is free, so a thread that
// the system holds back (another program busy on its core) delays nobody.
// The calling thread (thread 0 of the team) also steps, in order, over the
// items finished so far after each chunk of its own, and at the end over the
// rest as they finish.
bool RunInBlocks(std::size_t count, const std::function<void(std::size_t, int)>& work,
                 const std::function<bool(std::size_t)>& step) {
  const std::size_t chunks = (count + kChunk - 1) / kChunk;
  const auto finished = std::make_unique<std::atomic<bool>[]>(chunks);
  std::atomic<std::size_t> next_chunk{0};
  std::atomic<bool> stop{false};
  std::mutex failure_lock;
  std::exception_ptr failure;
  bool all_stepped = true;
  std::size_t stepped = 0;  // chunks stepped over; the calling thread's alone

  // Steps over the finished chunks in order; false once a step said stop.
  const auto step_finished = [&] {
    while (stepped < chunks && finished[stepped].load(std::memory_order_acquire)) {
      const std::size_t end = std::min(count, (stepped + 1) * kChunk);
      for (std::size_t done = stepped * kChunk + 1; done <= end; ++done) {
        if (!step(done)) return false;
      }
      ++stepped;
    }
    return true;
  };

#pragma omp parallel
  {
    const int thread = omp_get_thread_num();
    while (!stop.load(std::memory_order_relaxed)) {
      const std::size_t chunk = next_chunk.fetch_add(1);
      if (chunk >= chunks) break;
      try {
        const std::size_t end = std::min(count, (chunk + 1) * kChunk);
        for (std::size_t k = chunk * kChunk; k < end; ++k) work(k, thread);
      } catch (...) {
        const std::lock_guard<std::mutex> hold(failure_lock);
        if (!failure) failure = std::current_exception();
        stop = true;
      }
      finished[chunk].store(true, std::memory_order_release);
      if (thread == 0 && !stop.load() && !step_finished()) {
        all_stepped = false;
        stop = true;
      }
    }
    if (thread == 0) {
      while (!stop.load() && stepped < chunks) {
        if (!step_finished()) {
          all_stepped = false;
          stop = true;
        } else if (stepped < chunks) {
          std::this_thread::yield();  // another thread is finishing a chunk
        }
      }
    }
  }
  if (failure) std::rethrow_exception(failure);
  return all_stepped;
}

}  // namespace torvane
