#pragma once
// Reading pictures back in the tests of what is decoded.

#include "decode/DibImage.h"

namespace orvanel::test {

// The colour at (x, y) counted from the top-left, as 0xRRGGBB, read from the image's
// bottom-up rows (a palette image through its palette).
inline uint32_t PixelFromTop(const CDibImage& image, uint32_t x, uint32_t y)
{
    const uint8_t* row = image.GetBits() + size_t(image.GetHeight() - 1 - y) * image.GetEffWidth();
    const uint8_t* bgr = row + 3 * x;
    if (image.GetBpp() == 8)
        bgr = image.GetDib().data() + kDibHeaderSize + 4 * size_t(row[x]);
    return (uint32_t(bgr[2]) << 16) | (uint32_t(bgr[1]) << 8) | bgr[0];
}

inline uint32_t Grey(uint8_t level)
{
    return level * 0x010101u;
}

} // namespace orvanel::test
