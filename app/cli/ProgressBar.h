#pragma once
// A one-line progress bar on a terminal, redrawn only when what it shows
// changes and at most a few times a second, so that a million steps cost
// next to nothing.

#include <chrono>
#include <cstdio>

namespace torvane {

class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* terminal) : terminal_(terminal) {}
  ~ProgressBar() { Erase(); }

  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  // Removes the bar from the line, so that a message can be printed.
  void Erase();

 private:
  void Draw();

  std::FILE* terminal_;
  int minimum_ = 0;
  int maximum_ = 0;
  int position_ = 0;
  int drawn_permille_ = -1;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace torvane
