#include "common/BusErrorGuard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace torvane {
namespace {

// Far more than are ever mapped at once: a grid file, or a reader's file.
constexpr int kPlaces = 64;

struct Place {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> cut_short{false};
};

Place g_places[kPlaces];
struct sigaction g_previous {};
std::once_flag g_installed;

// Hands a SIGBUS that is none of ours to the handler found at installation.
void PassOn(int signal, siginfo_t* info, void* context) {
  if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr) {
    g_previous.sa_sigaction(signal, info, context);
    return;
  }
  if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
    g_previous.sa_handler(signal);
    return;
  }
  // The default action: once this handler returns, the read faults again
  // and ends the process as it would have without us.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(SIGBUS, &fallback, nullptr);
}

// Only async-signal-safe steps: atomic loads and stores, sysconf, mmap.
void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Place& place : g_places) {
    if (!place.taken.load()) continue;
    const std::uintptr_t begin = place.begin.load();
    const std::uintptr_t end = place.end.load();
    if (address < begin || address >= end) continue;
    // The rest of the range from the faulting page on: the file ends before
    // all of it.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = address / page * page;
    void* zeros = mmap(reinterpret_cast<void*>(first), end - first, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    place.cut_short.store(true);
    return;
  }
  PassOn(signal, info, context);
}

void Install() {
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, &g_previous);
}

}  // namespace

int GuardMappedRange(const void* begin, std::size_t size) {
  std::call_once(g_installed, Install);
  for (int i = 0; i < kPlaces; ++i) {
    Place& place = g_places[i];
    bool free = false;
    if (!place.taken.compare_exchange_strong(free, true)) continue;
    place.cut_short.store(false);
    place.begin.store(reinterpret_cast<std::uintptr_t>(begin));
    place.end.store(reinterpret_cast<std::uintptr_t>(begin) + size);
    return i;
  }
  return -1;
}

void UnguardMappedRange(int ticket) {
  if (ticket < 0) return;
  Place& place = g_places[ticket];
  place.end.store(0);
  place.begin.store(0);
  place.taken.store(false);
}

bool MappedRangeCutShort(int ticket) { return ticket >= 0 && g_places[ticket].cut_short.load(); }

}  // namespace torvane
