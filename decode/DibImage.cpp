#include "decode/DibImage.h"

#include "archive/ByteOrder.h"
#include "decode/ByteStream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace orvanel {

namespace {

uint16_t NormalisedBitCount(uint32_t bits)
{
    return bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
}

uint64_t StrideOf(uint32_t width, uint16_t bitCount)
{
    return (uint64_t(width) * bitCount + 31) / 32 * 4;
}

int32_t PelsPerMeter(int32_t dpi)
{
    return int32_t((int64_t(dpi) * 10000 + 127) / 254);
}

} // namespace

CDibImage::CDibImage(uint32_t type)
    : m_type(type)
{
}

CDibImage::CDibImage(const CDibImage& source, bool copyPixels, bool copyAlpha)
{
    Copy(source, copyPixels, copyAlpha);
}

CDibImage& CDibImage::operator=(const CDibImage& source)
{
    if (this != &source)
        Copy(source);
    return *this;
}

CDibImage::CDibImage(CDibImage&& other) noexcept
{
    MoveFrom(other);
}

CDibImage& CDibImage::operator=(CDibImage&& other) noexcept
{
    if (this != &other)
        MoveFrom(other);
    return *this;
}

void CDibImage::MoveFrom(CDibImage& other) noexcept
{
    m_head = other.m_head;
    m_block = std::move(other.m_block);
    m_alpha = std::move(other.m_alpha);
    m_stride = other.m_stride;
    TakeAttributes(other);
    other.Destroy();
}

void CDibImage::TakeAttributes(const CDibImage& source)
{
    m_type = source.m_type;
    m_xDpi = source.m_xDpi;
    m_yDpi = source.m_yDpi;
}

void CDibImage::SetResolution(int32_t xDpi, int32_t yDpi)
{
    m_xDpi = xDpi;
    m_yDpi = yDpi;
    if (!IsValid())
        return;
    m_head.xPelsPerMeter = PelsPerMeter(xDpi);
    m_head.yPelsPerMeter = PelsPerMeter(yDpi);
    WriteHeader();
}

bool CDibImage::Destroy()
{
    std::vector<uint8_t>().swap(m_block);
    std::vector<uint8_t>().swap(m_alpha);
    m_head = DibHeader{};
    m_stride = 0;
    return true;
}

uint8_t* CDibImage::Create(uint32_t width, uint32_t height, uint32_t bits, uint32_t type)
{
    Destroy();
    if (width == 0 || height == 0 || width > uint32_t(INT32_MAX) || height > uint32_t(INT32_MAX))
        return nullptr;
    const uint16_t bitCount = NormalisedBitCount(bits);
    const uint64_t stride = StrideOf(width, bitCount);
    const uint32_t colours = bitCount == 24 ? 0 : 1u << bitCount;
    const uint64_t rowsOffset = kDibHeaderSize + 4 * uint64_t(colours);
    if (stride > (kMaxDibBlockBytes - rowsOffset) / height)
        return nullptr;
    try {
        m_block.assign(size_t(rowsOffset + stride * height), 0);
    } catch (const std::bad_alloc&) {
        Destroy();
        return nullptr;
    }
    m_stride = uint32_t(stride);
    m_type = type;
    m_head.size = kDibHeaderSize;
    m_head.width = int32_t(width);
    m_head.height = int32_t(height);
    m_head.planes = 1;
    m_head.bitCount = bitCount;
    m_head.compression = 0;
    m_head.sizeImage = uint32_t(stride * height);
    m_head.xPelsPerMeter = PelsPerMeter(m_xDpi);
    m_head.yPelsPerMeter = PelsPerMeter(m_yDpi);
    m_head.clrUsed = colours;
    m_head.clrImportant = 0;
    WriteHeader();
    return m_block.data();
}

void CDibImage::WriteHeader()
{
    uint8_t* p = m_block.data();
    WriteLE32(p + 0, m_head.size);
    WriteLE32(p + 4, uint32_t(m_head.width));
    WriteLE32(p + 8, uint32_t(m_head.height));
    WriteLE16(p + 12, m_head.planes);
    WriteLE16(p + 14, m_head.bitCount);
    WriteLE32(p + 16, m_head.compression);
    WriteLE32(p + 20, m_head.sizeImage);
    WriteLE32(p + 24, uint32_t(m_head.xPelsPerMeter));
    WriteLE32(p + 28, uint32_t(m_head.yPelsPerMeter));
    WriteLE32(p + 32, m_head.clrUsed);
    WriteLE32(p + 36, m_head.clrImportant);
}

bool CDibImage::CreateAlpha()
{
    try {
        m_alpha.assign(size_t(GetWidth()) * GetHeight(), 255);
        return true;
    } catch (const std::bad_alloc&) {
        Destroy();
        return false;
    }
}

bool CDibImage::CreateFromArray(std::span<const uint8_t> source, uint32_t width, uint32_t height,
    uint32_t bits, uint32_t bytesPerLine, bool flip)
{
    if (source.empty() || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    if (width == 0 || height == 0)
        return Create(width, height, bits) != nullptr;
    const uint64_t rowBytes = bits == 32
        ? uint64_t(width) * 4
        : std::min<uint64_t>(StrideOf(width, NormalisedBitCount(bits)), bytesPerLine);
    if (uint64_t(height - 1) * bytesPerLine + rowBytes > source.size())
        return false;
    if (!Create(width, height, bits))
        return false;
    if (bits < 24)
        SetGreyPalette();
    if (bits == 32 && !CreateAlpha())
        return false;
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* src = source.data() + size_t(r) * bytesPerLine;
        const uint32_t y = flip ? height - 1 - r : r;
        uint8_t* dst = Row(y);
        if (bits != 32) {
            std::memcpy(dst, src, size_t(rowBytes));
            continue;
        }
        uint8_t* alpha = m_alpha.data() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            alpha[x] = src[3];
        }
    }
    return true;
}

bool CDibImage::Copy(const CDibImage& source, bool copyPixels, bool copyAlpha)
{
    if (this == &source)
        return IsValid();
    TakeAttributes(source);
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.m_type))
        return false;
    const size_t bytes = copyPixels ? m_block.size() : RowsOffset();
    std::memcpy(m_block.data() + kDibHeaderSize, source.m_block.data() + kDibHeaderSize,
        bytes - kDibHeaderSize);
    m_head = source.m_head;
    WriteHeader();
    if (copyAlpha && !source.m_alpha.empty()) {
        try {
            m_alpha = source.m_alpha;
        } catch (const std::bad_alloc&) {
            Destroy();
            return false;
        }
    }
    return true;
}

bool CDibImage::Decode(std::span<const uint8_t> buffer, uint32_t type)
{
    if (type != kImageTypeJPEG || buffer.empty())
        return false;
    CMemStream stream(buffer);
    return DecodeJPEG(stream);
}

RGBQUAD CDibImage::PaletteColor(uint32_t index) const
{
    const uint8_t* p = m_block.data() + kDibHeaderSize + 4 * size_t(index);
    return {p[0], p[1], p[2], p[3]};
}

void CDibImage::SetPaletteColor(uint32_t index, RGBQUAD colour)
{
    uint8_t* p = m_block.data() + kDibHeaderSize + 4 * size_t(index);
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
    p[3] = 0;
}

void CDibImage::SetGreyPalette()
{
    const uint32_t n = m_head.clrUsed;
    if (n < 2)
        return;
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t level = uint8_t(i * (255 / (n - 1)));
        SetPaletteColor(i, {level, level, level, 0});
    }
}

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

bool CDibImage::Flip()
{
    if (!IsValid())
        return false;
    const uint32_t w = GetWidth(), h = GetHeight();
    for (uint32_t y = 0; y < h / 2; ++y) {
        std::swap_ranges(Row(y), Row(y) + m_stride, Row(h - 1 - y));
        if (!m_alpha.empty()) {
            uint8_t* a = m_alpha.data();
            std::swap_ranges(a + size_t(y) * w, a + size_t(y + 1) * w, a + size_t(h - 1 - y) * w);
        }
    }
    return true;
}

void CDibImage::AlphaSet(uint8_t level)
{
    std::fill(m_alpha.begin(), m_alpha.end(), level);
}

bool CDibImage::GrayScale()
{
    if (!IsValid())
        return false;
    const uint32_t w = GetWidth(), h = GetHeight();
    CDibImage grey;
    grey.TakeAttributes(*this);
    if (!grey.Create(w, h, 8, m_type))
        return false;
    grey.SetGreyPalette();
    if (m_head.bitCount == 24) {
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* src = Row(y);
            uint8_t* dst = grey.Row(y);
            for (uint32_t x = 0; x < w; ++x, src += 3)
                dst[x] = GreyLevel(src[0], src[1], src[2]);
        }
    } else {
        uint8_t levels[256] = {};
        for (uint32_t i = 0; i < m_head.clrUsed; ++i) {
            const RGBQUAD c = PaletteColor(i);
            levels[i] = GreyLevel(c.blue, c.green, c.red);
        }
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t* dst = grey.Row(y);
            for (uint32_t x = 0; x < w; ++x)
                dst[x] = levels[IndexAt(x, y)];
        }
    }
    if (!m_alpha.empty()) {
        try {
            grey.m_alpha = m_alpha;
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
        if (!c.Create(w, h, 8, m_type))
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

bool CDibImage::Combine(const CDibImage* red, const CDibImage* green, const CDibImage* blue,
    const CDibImage* alpha)
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
    if (!combined.Create(w, h, 24, red->m_type))
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
