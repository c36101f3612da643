#pragma once
// Work over many items (points, grid columns) on every core while the window stays alive: the
// items are taken a block at a time, the threads share each block, and
// after it the caller's thread is told once for each item of the block, in
// order, so that it can advance the progress bar and process events exactly
// as a one-thread loop would.

#include <cstddef>
#include <functional>

namespace torvane {

// The number of threads `work` may be told about (thread numbers run from 0).
int WorkerThreads();

// Calls work(k, thread) once for every k from 0 to count - 1, several at a
// time, and after each block step(done) once per item of the block on the
// calling thread, with done = the number of items finished so far. A step
// that answers false ends the loop there (the rest of its block was worked
// on, but is not stepped over). Blocks grow or shrink to take about ten
// milliseconds each. An exception thrown by `work` ends the loop and is
// thrown again here. Answers false when a step ended the loop.
bool RunInBlocks(std::size_t count, const std::function<void(std::size_t k, int thread)>& work,
                 const std::function<bool(std::size_t done)>& step);

}  // namespace torvane
