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

CDibImage::CDibImage(uint32_t /*type*/)
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
    m_head = DibHeader {};
    m_stride = 0;
    return true;
}

uint8_t* CDibImage::Create(uint32_t width, uint32_t height, uint32_t bits, uint32_t /*type*/)
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

uint8_t* CDibImage::CreateGrey(uint32_t width, uint32_t height, uint32_t type)
{
    uint8_t* block = Create(width, height, 8, type);
    if (block)
        SetGreyPalette();
    return block;
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
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp()))
        return false;
    const size_t bytes = copyPixels ? m_block.size() : RowsOffset();
    std::memcpy(
        m_block.data() + kDibHeaderSize, source.m_block.data() + kDibHeaderSize, bytes - kDibHeaderSize);
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

} // namespace orvanel
