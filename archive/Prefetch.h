#pragma once
// Asking the processor to start loading memory that is about to be read, so that reads spread
// over a large archive wait less for it. Only a hint: a prefetch never faults, so it may point
// into a mapped file that has been cut short since it was mapped.

#include <cstddef>
#include <cstdint>

namespace orvanel {

inline void PrefetchForRead(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Every cache line of count bytes from start.
inline void PrefetchRangeForRead(const uint8_t* start, size_t count)
{
    constexpr size_t kLine = 64;
    for (size_t at = 0; at < count; at += kLine)
        PrefetchForRead(start + at);
}

} // namespace orvanel
