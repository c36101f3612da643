#include "common/LargeArray.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <new>

namespace torvane {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// From this size on an array is mapped by itself, on large pages.
constexpr std::size_t kLargeArray = std::size_t{4} << 20;

// The address sanitizer watches heap blocks only: under it every array
// stays on the heap.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeArrays = false;
#else
constexpr bool kMapLargeArrays = true;
#endif

std::atomic<std::size_t> mapped_bytes{0};

// Whole small pages: the tail beyond the last whole large page stays on
// small pages, so that no array holds up to a large page it never uses.
constexpr std::size_t kSmallPage = 4096;
std::size_t MappedSize(std::size_t bytes) {
  return (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  if (!kMapLargeArrays || bytes < kLargeArray) return ::operator new(bytes);
  if (bytes > static_cast<std::size_t>(-1) / 2) throw std::bad_alloc();
  // Mapped a large page wider than needed, then trimmed to start on a
  // large page's boundary: the kernel lays large pages only there.
  const std::size_t size = MappedSize(bytes);
  void* mapped = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t end = start + size + kLargePage;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* memory = reinterpret_cast<void*>(aligned);
  (void)madvise(memory, size, MADV_HUGEPAGE);  // a hint: without it the array still works
  mapped_bytes += size;
  return memory;
}

void FreeLarge(void* memory, std::size_t bytes) noexcept {
  if (memory == nullptr) return;
  if (!kMapLargeArrays || bytes < kLargeArray) {
    ::operator delete(memory);
    return;
  }
  munmap(memory, MappedSize(bytes));
  mapped_bytes -= MappedSize(bytes);
}

std::size_t LargeBytesMapped() noexcept { return mapped_bytes.load(); }

}  // namespace torvane
