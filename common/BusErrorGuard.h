#pragma once
// Reading a memory-mapped file that another program cuts short raises
// SIGBUS at the first page past its new end, which would end the process
// and leave its half-written output behind. Within a registered range such
// a page is instead replaced by a page of zero bytes, the read goes on, and
// the range is marked as cut short so that its owner can drop what it read.
// A SIGBUS anywhere else goes to the handler that was there before.

#include <cstddef>

namespace torvane {

// Registers the mapped range [begin, begin + size); answers a ticket for the
// calls below, or -1 when every place is taken (the range then stays
// unguarded). Safe to call from any thread.
int GuardMappedRange(const void* begin, std::size_t size);

// Ends the guard of a range, before it is unmapped. A ticket of -1 is
// ignored.
void UnguardMappedRange(int ticket);

// Whether a page of the range has been replaced since it was registered.
bool MappedRangeCutShort(int ticket);

}  // namespace torvane
