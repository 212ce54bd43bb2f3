// Counts every allocation of the program that includes it, to show that a game tick makes none.
// Replaces the global operator new and delete: include it in exactly one file of a program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace kraylo::testing {
// Allocations made so far through operator new.
inline std::atomic<long> allocations{0};
}  // namespace kraylo::testing

// Not inlined, so that the compiler does not pair a visible malloc or free with a new or delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
  kraylo::testing::allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
