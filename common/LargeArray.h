#pragma once
// Memory for the large arrays of a run (the points, the ring index, a
// grid's nodes). Arrays of a few megabytes and more are laid on the
// kernel's 2 MiB pages where it offers them: on a virtual machine a first
// write to every 4 KiB page costs more than filling it, and the large pages
// take a 48 MB point array from a tenth of a second of page faults to a
// hundredth. Smaller arrays come from the heap as usual.

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace torvane {

// `bytes` of memory aligned for any type; throws std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
// Gives back what AllocateLarge(bytes) gave.
void FreeLarge(void* memory, std::size_t bytes) noexcept;
// The bytes held now in arrays mapped by themselves (not on the heap).
std::size_t LargeBytesMapped() noexcept;

template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* memory, std::size_t n) noexcept { FreeLarge(memory, n * sizeof(T)); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

// Frees an array of `count` elements that AllocateLarge gave.
template <typename T>
struct LargeArrayFree {
  std::size_t count = 0;
  void operator()(T* memory) const noexcept { FreeLarge(memory, count * sizeof(T)); }
};

template <typename T>
using LargeArray = std::unique_ptr<T[], LargeArrayFree<T>>;

// `count` elements of a trivial type, not initialised; an empty pointer
// when memory runs out.
template <typename T>
LargeArray<T> MakeLargeArray(std::size_t count) noexcept {
  static_assert(std::is_trivially_default_constructible_v<T>);
  if (count > static_cast<std::size_t>(-1) / sizeof(T)) return LargeArray<T>(nullptr, {});
  try {
    return LargeArray<T>(static_cast<T*>(AllocateLarge(count * sizeof(T))), {count});
  } catch (const std::bad_alloc&) {
    return LargeArray<T>(nullptr, {});
  }
}

}  // namespace torvane
