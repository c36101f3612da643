#pragma once
// Long work of the dialogs (a sweep, a grid residual) on a worker thread
// while the window stays live: a progress bar follows it and a Cancel
// button ends it. The work reports through a WorkerPlatform, which keeps its
// messages for the window's thread to show afterwards.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/MemoryPlatform.h"

class QAbstractButton;
class QProgressBar;

namespace torvane {

class WorkerPlatform : public MemoryPlatform {
 public:
  explicit WorkerPlatform(char decimal_separator) : MemoryPlatform(decimal_separator) {}

  void ShowInfo(std::string_view text) override;
  // Kept; a question is answered No (nobody is asked from the worker).
  MessageResult ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override;
  void SetProgressRange(int, int maximum) override { maximum_ = maximum; }
  void SetProgressPosition(int position) override { position_ = position; }

  int maximum() const { return maximum_; }
  int position() const { return position_; }
  // Raised by Cancel; the work looks at it.
  std::atomic<bool> cancel{false};
  // The messages kept so far, caption and text, in order; they are handed over once.
  std::vector<std::pair<std::string, std::string>> TakeMessages();

 private:
  std::atomic<int> maximum_{100};
  std::atomic<int> position_{0};
  std::mutex mutex_;
  std::vector<std::pair<std::string, std::string>> messages_;
};

// Runs `work` on a worker thread and returns what it answered, once it has
// ended (false when it threw). Meanwhile the window's events are processed,
// `bar` shows the progress and `cancel_button` raises `worker.cancel`.
// Afterwards the messages the work left are shown through `shown_by`.
bool RunInBackground(WorkerPlatform& worker, QProgressBar* bar, QAbstractButton* cancel_button,
                     Platform& shown_by, const std::function<bool()>& work);

}  // namespace torvane
