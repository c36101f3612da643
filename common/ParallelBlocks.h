#pragma once
// Work over many items (points, grid columns) on every core while the
// window stays alive: the threads share the items, and the caller's thread
// is told once for each finished item, in order, so that it can advance the
// progress bar and process events exactly as a one-thread loop would.

#include <cstddef>
#include <functional>

namespace torvane {

// The number of threads `work` may be told about (thread numbers run from 0).
int WorkerThreads();

// Calls work(k, thread) once for every k from 0 to count - 1, several at a
// time, and step(done) once for each finished item on the calling thread,
// in order, with done = the number of items stepped over so far (1 to
// count). A step that answers false ends the loop there (items already
// taken are still worked on, but not stepped over). An exception thrown by
// `work` ends the loop and is thrown again here. Answers false when a step
// ended the loop.
bool RunInBlocks(std::size_t count, const std::function<void(std::size_t k, int thread)>& work,
                 const std::function<bool(std::size_t done)>& step);

}  // namespace torvane
