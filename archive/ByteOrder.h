#pragma once
// Little-endian reads from unaligned byte buffers. Archives and stored records are
// little-endian and their fields sit at arbitrary offsets, so nothing is read through
// a cast pointer.

#include <cstdint>
#include <cstring>

namespace orvanel {

inline uint32_t ReadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline uint16_t ReadLE16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

inline void WriteLE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

inline void WriteLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

} // namespace orvanel
