#include "common/Interruption.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace torvane {
namespace {

constexpr int kSlots = 64;
enum SlotState : int { kFree = 0, kFilling = 1, kListed = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
Slot g_slots[kSlots];

std::atomic<int> g_holds{0};
std::atomic<int> g_pending_signal{0};
const char* g_message = nullptr;
std::size_t g_message_size = 0;

[[noreturn]] void EndInterrupted(int signal_number) {
  RemoveListedTemporaries();
  if (g_message != nullptr) {
    const char* left = g_message;
    std::size_t size = g_message_size;
    while (size > 0) {
      const ssize_t written = ::write(STDERR_FILENO, left, size);
      if (written <= 0) break;
      left += written;
      size -= static_cast<std::size_t>(written);
    }
  }
  _exit(128 + signal_number);
}

void OnSignal(int signal_number) {
  if (g_holds.load() > 0) {
    g_pending_signal.store(signal_number);
    // The hold may have ended between the test and the store.
    if (g_holds.load() > 0) return;
  }
  EndInterrupted(signal_number);
}

}  // namespace

int ListTemporary(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(g_slots[i].path, path, length + 1);
    g_slots[i].state.store(kListed);
    return i;
  }
  return -1;
}

void ForgetTemporary(int ticket) {
  if (ticket >= 0 && ticket < kSlots) g_slots[ticket].state.store(kFree);
}

void RemoveListedTemporaries() {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == kListed) ::unlink(slot.path);
  }
}

void InstallInterruptHandlers(const char* message) {
  g_message = message;
  g_message_size = std::strlen(message);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  for (const int signal_number : {SIGINT, SIGTERM}) {
    struct sigaction previous {};
    // A signal ignored by the parent (nohup, a background job) stays ignored.
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
}

InterruptHold::InterruptHold() { g_holds.fetch_add(1); }

InterruptHold::~InterruptHold() {
  if (g_holds.fetch_sub(1) == 1) {
    const int pending = g_pending_signal.exchange(0);
    if (pending != 0) EndInterrupted(pending);
  }
}

}  // namespace torvane
