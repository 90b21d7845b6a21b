#pragma once
// Byte blocks shared by the hex dump and hex editor tests.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanel::test {

// Bytes 0, 1, 2, ... wrapping after 255.
inline std::vector<uint8_t> CountingBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

// 0x40 bytes of filler with the letters A, B, C and D at 0x12 to 0x15.
inline std::vector<uint8_t> BytesWithABCDAt0x12(uint8_t filler)
{
    std::vector<uint8_t> bytes(0x40, filler);
    bytes[0x12] = 'A';
    bytes[0x13] = 'B';
    bytes[0x14] = 'C';
    bytes[0x15] = 'D';
    return bytes;
}

}  // namespace orvanel::test
