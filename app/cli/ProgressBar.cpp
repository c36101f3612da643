#include "app/cli/ProgressBar.h"

#include <string>

namespace torvane {
namespace {
constexpr int kBarWidth = 40;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

void ProgressBar::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  drawn_permille_ = -1;
}

void ProgressBar::SetPosition(int position) {
  position_ = position;
  if (maximum_ <= minimum_) return;
  const long long span = static_cast<long long>(maximum_) - minimum_;
  const auto permille = static_cast<int>((static_cast<long long>(position_) - minimum_) * 1000 / span);
  if (permille == drawn_permille_) return;
  const auto now = std::chrono::steady_clock::now();
  if (permille < 1000 && shown_ && now - last_draw_ < kRedrawInterval) return;
  last_draw_ = now;
  drawn_permille_ = permille;
  Draw();
}

void ProgressBar::Draw() {
  const int filled = drawn_permille_ * kBarWidth / 1000;
  std::string bar(static_cast<std::size_t>(kBarWidth), ' ');
  for (int i = 0; i < filled && i < kBarWidth; ++i) bar[static_cast<std::size_t>(i)] = '#';
  std::fprintf(terminal_, "\r[%s] %3d%% %d/%d", bar.c_str(), drawn_permille_ / 10,
               position_ - minimum_, maximum_ - minimum_);
  std::fflush(terminal_);
  shown_ = true;
}

void ProgressBar::Erase() {
  if (!shown_) return;
  std::fputs("\r\033[K", terminal_);
  std::fflush(terminal_);
  shown_ = false;
  drawn_permille_ = -1;
}

}  // namespace torvane
