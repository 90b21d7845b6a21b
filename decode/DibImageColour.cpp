// Pixel colours: single pixels by palette index or colour, the grey conversion, and the
// split into colour channels and back.

#include "decode/DibImage.h"

#include <cstdint>
#include <new>

namespace orvanel {

uint8_t CDibImage::IndexAt(uint32_t x, uint32_t y) const
{
    const uint8_t* row = Row(y);
    switch (m_head.bitCount) {
    case 8: return row[x];
    case 4: return uint8_t((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    case 1: return uint8_t((row[x >> 3] >> (7 - (x & 7))) & 1);
    default: return 0;
    }
}

void CDibImage::SetIndexAt(uint32_t x, uint32_t y, uint8_t index)
{
    uint8_t* row = Row(y);
    switch (m_head.bitCount) {
    case 8: row[x] = index; break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    case 1: {
        const int shift = 7 - int(x & 7);
        row[x >> 3] = uint8_t((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    default: break;
    }
}

RGBQUAD CDibImage::ColorAt(uint32_t x, uint32_t y) const
{
    if (m_head.bitCount == 24) {
        const uint8_t* p = Row(y) + size_t(x) * 3;
        return {p[0], p[1], p[2], 0};
    }
    return PaletteColor(IndexAt(x, y));
}

uint8_t CDibImage::NearestIndex(RGBQUAD colour) const
{
    uint32_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (uint32_t i = 0; i < m_head.clrUsed; ++i) {
        const RGBQUAD p = PaletteColor(i);
        const int db = p.blue - colour.blue, dg = p.green - colour.green, dr = p.red - colour.red;
        const int64_t distance = int64_t(db) * db + int64_t(dg) * dg + int64_t(dr) * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return uint8_t(best);
}

void CDibImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD colour, bool setAlpha)
{
    if (!IsValid() || x < 0 || y < 0 || uint32_t(x) >= GetWidth() || uint32_t(y) >= GetHeight())
        return;
    if (m_head.bitCount == 24) {
        uint8_t* p = Row(uint32_t(y)) + size_t(x) * 3;
        p[0] = colour.blue;
        p[1] = colour.green;
        p[2] = colour.red;
    } else {
        SetIndexAt(uint32_t(x), uint32_t(y), NearestIndex(colour));
    }
    if (setAlpha && !m_alpha.empty())
        m_alpha[size_t(y) * GetWidth() + uint32_t(x)] = colour.reserved;
}

bool CDibImage::GrayScale()
{
    return GrayScaleOf(*this);
}

bool CDibImage::GrayScaleOf(const CDibImage& source)
{
    if (!source.IsValid())
        return false;
    const uint32_t w = source.GetWidth(), h = source.GetHeight();
    CDibImage grey;
    grey.TakeAttributes(source);
    if (!grey.Create(w, h, 8))
        return false;
    grey.SetGreyPalette();
    if (source.m_head.bitCount == 24) {
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* src = source.Row(y);
            uint8_t* dst = grey.Row(y);
            for (uint32_t x = 0; x < w; ++x, src += 3)
                dst[x] = GreyLevel(src[0], src[1], src[2]);
        }
    } else {
        uint8_t levels[256] = {};
        for (uint32_t i = 0; i < source.m_head.clrUsed; ++i) {
            const RGBQUAD c = source.PaletteColor(i);
            levels[i] = GreyLevel(c.blue, c.green, c.red);
        }
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t* dst = grey.Row(y);
            for (uint32_t x = 0; x < w; ++x)
                dst[x] = levels[source.IndexAt(x, y)];
        }
    }
    if (!source.m_alpha.empty()) {
        try {
            grey.m_alpha = source.m_alpha;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    *this = std::move(grey);
    return true;
}

bool CDibImage::SplitRGB(CDibImage* red, CDibImage* green, CDibImage* blue) const
{
    if (!IsValid() || (!red && !green && !blue))
        return false;
    const uint32_t w = GetWidth(), h = GetHeight();
    CDibImage channels[3];
    for (CDibImage& c : channels) {
        c.TakeAttributes(*this);
        if (!c.Create(w, h, 8))
            return false;
        c.SetGreyPalette();
    }
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* r = channels[0].Row(y);
        uint8_t* g = channels[1].Row(y);
        uint8_t* b = channels[2].Row(y);
        for (uint32_t x = 0; x < w; ++x) {
            const RGBQUAD c = ColorAt(x, y);
            r[x] = c.red;
            g[x] = c.green;
            b[x] = c.blue;
        }
    }
    CDibImage* targets[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i)
        if (targets[i])
            *targets[i] = std::move(channels[i]);
    return true;
}

bool CDibImage::Combine(
    const CDibImage* red, const CDibImage* green, const CDibImage* blue, const CDibImage* alpha)
{
    if (!red || !green || !blue)
        return false;
    const uint32_t w = red->GetWidth(), h = red->GetHeight();
    // Channels are read as pixel indices, so each must be a palette image of the same size.
    for (const CDibImage* c : {red, green, blue, alpha}) {
        if (c && (!c->IsValid() || c->GetBpp() > 8 || c->GetWidth() != w || c->GetHeight() != h))
            return false;
    }
    CDibImage combined;
    combined.TakeAttributes(*red);
    if (!combined.Create(w, h, 24))
        return false;
    if (alpha && !combined.CreateAlpha())
        return false;
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* dst = combined.Row(y);
        for (uint32_t x = 0; x < w; ++x, dst += 3) {
            dst[0] = blue->IndexAt(x, y);
            dst[1] = green->IndexAt(x, y);
            dst[2] = red->IndexAt(x, y);
            if (alpha)
                combined.m_alpha[size_t(y) * w + x] = alpha->IndexAt(x, y);
        }
    }
    *this = std::move(combined);
    return true;
}

} // namespace orvanel
