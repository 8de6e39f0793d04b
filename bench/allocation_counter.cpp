// Kept out of the benchmarks' own files so that the compiler never sees
// new and free paired inline.
#include "bench/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

thread_local bool g_counting = false;
std::atomic<long> g_count{0};

}  // namespace

namespace talvio::bench {

bool CountAllocations(bool on) {
    const bool was = g_counting;
    g_counting = on;
    return was;
}

long AllocationCount() { return g_count.load(std::memory_order_relaxed); }

}  // namespace talvio::bench

void* operator new(std::size_t size) {
    if (g_counting) g_count.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
