// The shared loop behind the residuals and the preview gridding: every item
// worked on once, the steps in order on the calling thread, a stop and an
// error ending it.

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "common/ParallelBlocks.h"

namespace torvane::testing {
namespace {

TEST(ParallelBlocks, EveryItemOnceStepsInOrderOnTheCallingThread) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{31},
                                  std::size_t{32}, std::size_t{33}, std::size_t{10007}}) {
    std::vector<std::atomic<int>> worked(count);
    std::vector<std::size_t> steps;
    const std::thread::id caller = std::this_thread::get_id();
    bool steps_on_caller = true;
    const bool finished = RunInBlocks(
        count, [&](std::size_t k, int) { ++worked[k]; },
        [&](std::size_t done) {
          // Every item stepped over is finished.
          EXPECT_EQ(worked[done - 1].load(), 1);
          steps_on_caller = steps_on_caller && std::this_thread::get_id() == caller;
          steps.push_back(done);
          return true;
        });
    EXPECT_TRUE(finished);
    EXPECT_TRUE(steps_on_caller);
    ASSERT_EQ(steps.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(steps[i], i + 1);
      EXPECT_EQ(worked[i].load(), 1) << i;
    }
  }
}

TEST(ParallelBlocks, AStepSaysStop) {
  std::vector<std::size_t> steps;
  const bool finished = RunInBlocks(
      5000, [](std::size_t, int) {},
      [&](std::size_t done) {
        steps.push_back(done);
        return done < 100;
      });
  EXPECT_FALSE(finished);
  EXPECT_EQ(steps.size(), 100u);
  EXPECT_EQ(steps.back(), 100u);
}

TEST(ParallelBlocks, AnErrorComesBackToTheCaller) {
  EXPECT_THROW(RunInBlocks(
                   5000,
                   [](std::size_t k, int) {
                     if (k == 1234) throw std::runtime_error("bad item");
                   },
                   [](std::size_t) { return true; }),
               std::runtime_error);
}

}  // namespace
}  // namespace torvane::testing
