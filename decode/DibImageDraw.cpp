// Drawing: nearest-neighbour scaling of the painted part of the picture into the caller's
// 32-bit pixels, blended over them where the image has an alpha plane.

#include "decode/DibImage.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace orvanel {

namespace {

uint32_t ToPixel(RGBQUAD c)
{
    return 0xFF000000u | (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
}

// Weight a of 0 keeps the target, 255 takes the image, anything between mixes the two.
uint32_t Blend(uint32_t target, uint32_t image, uint32_t a)
{
    if (a == 0)
        return target | 0xFF000000u;
    if (a >= 255)
        return image;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t t = (target >> shift) & 0xFF, i = (image >> shift) & 0xFF;
        out |= ((t * (255 - a) + i * a) / 256) << shift;
    }
    return out;
}

int64_t Clamp(int64_t v, int64_t low, int64_t high)
{
    return std::min(std::max(v, low), high);
}

} // namespace

int CDibImage::Draw(
    DibDrawTarget* target, int32_t x, int32_t y, int32_t cx, int32_t cy, const DibRect* clip) const
{
    if (target)
        target->painted = {};
    if (!IsValid() || !target || !target->pixels || cx == 0 || cy == 0)
        return 0;
    const uint32_t w = GetWidth(), h = GetHeight();
    if (cx < 0)
        cx = int32_t(w);
    if (cy < 0)
        cy = int32_t(h);

    // The painted part: the rectangle cut to the clip box and the clip rectangle.
    int64_t left = std::max<int64_t>(x, target->clipBox.left);
    int64_t top = std::max<int64_t>(y, target->clipBox.top);
    int64_t right = std::min<int64_t>(int64_t(x) + cx, target->clipBox.right);
    int64_t bottom = std::min<int64_t>(int64_t(y) + cy, target->clipBox.bottom);
    if (clip) {
        left = std::max<int64_t>(left, clip->left);
        top = std::max<int64_t>(top, clip->top);
        right = std::min<int64_t>(right, clip->right);
        bottom = std::min<int64_t>(bottom, clip->bottom);
    }
    if (right <= left || bottom <= top)
        return 0;

    // Source column floor(dx × fx) and source row floor(height − (dy + 1) × fy), counted
    // from the bottom, in single precision; kept inside the picture whatever the rounding.
    const float fx = float(w) / float(cx);
    const float fy = float(h) / float(cy);
    std::vector<uint32_t> columns;
    uint32_t palette[256] = {};
    try {
        columns.resize(size_t(right - left));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int64_t px = left; px < right; ++px) {
        const float dx = float(px - x);
        columns[size_t(px - left)] = uint32_t(Clamp(int64_t(std::floor(dx * fx)), 0, w - 1));
    }
    for (uint32_t i = 0; i < m_head.clrUsed; ++i)
        palette[i] = ToPixel(PaletteColor(i));

    const bool blend = !m_alpha.empty();
    for (int64_t py = top; py < bottom; ++py) {
        const float dy = float(py - y);
        const uint32_t row = uint32_t(Clamp(int64_t(std::floor(float(h) - (dy + 1) * fy)), 0, h - 1));
        const uint8_t* src = Row(row);
        const uint8_t* alpha = blend ? m_alpha.data() + size_t(row) * w : nullptr;
        uint32_t* out = target->pixels + size_t(py - target->clipBox.top) * target->stride
            + size_t(left - target->clipBox.left);
        for (size_t i = 0; i < columns.size(); ++i) {
            const uint32_t col = columns[i];
            uint32_t pixel = 0;
            if (m_head.bitCount == 24) {
                const uint8_t* p = src + size_t(col) * 3;
                pixel = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            } else {
                pixel = palette[IndexAt(col, row)];
            }
            out[i] = blend ? Blend(out[i], pixel, alpha[col]) : pixel;
        }
    }
    target->painted = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return 1;
}

} // namespace orvanel
