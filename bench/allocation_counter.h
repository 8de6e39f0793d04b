// Counts operator new calls made by the calling thread while counting is
// on. Linking allocation_counter.cpp replaces the global operator new and
// delete of the benchmark executable.
#pragma once

namespace talvio::bench {

// Turns counting on or off for the calling thread; returns the old state.
bool CountAllocations(bool on);
// Allocations counted so far, by every thread.
long AllocationCount();

}  // namespace talvio::bench
