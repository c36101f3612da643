#pragma once
// Work over many points on every core while the window stays alive: the
// points are taken a block at a time, the threads share each block, and
// after it the caller's thread is told once for each point of the block, in
// order, so that it can advance the progress bar and process events exactly
// as a one-thread loop would.

#include <cstddef>
#include <functional>

namespace torvane {

// The number of threads `work` may be told about (thread numbers run from 0).
int WorkerThreads();

// Calls work(k, thread) once for every k from 0 to count - 1, several at a
// time, and after each block step(done) once per point of the block on the
// calling thread, with done = the number of points finished so far. Blocks
// grow or shrink to take about ten milliseconds each. An exception thrown by
// `work` ends the loop and is thrown again here.
void RunInBlocks(std::size_t count, const std::function<void(std::size_t k, int thread)>& work,
                 const std::function<void(std::size_t done)>& step);

}  // namespace torvane
