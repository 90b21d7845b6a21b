#pragma once
// The image buffer: a picture kept in the layout of a Windows device-independent bitmap
// (40-byte header, BGRA palette, bottom-up rows padded to 4 bytes) with an optional alpha
// plane, so that saving as BMP passes the block on without conversion.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvanel {

class CByteStream;

// Image types: the file format an image came from, or is saved as.
inline constexpr uint32_t kImageTypeNone = 0;
inline constexpr uint32_t kImageTypeBMP = 1;
inline constexpr uint32_t kImageTypeJPEG = 3;

inline constexpr uint32_t kDibHeaderSize = 40;

// Pixel blocks larger than this are refused. It is far beyond any picture the game stores,
// and keeps a corrupt width or height from ever claiming gigabytes.
inline constexpr uint64_t kMaxDibBlockBytes = uint64_t(256) << 20;

// A colour of a palette or a colour record: blue, green, red, reserved (alpha). Read as a
// little-endian 32-bit number it is 0xAARRGGBB.
struct RGBQUAD {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

// The eleven fields of the bitmap information header, in their stored order.
struct DibHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0; // positive: rows run bottom-up
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// A rectangle of device pixels; right and bottom are exclusive.
struct DibRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
};

// What Draw paints on: the caller's 32-bit pixels (0xAARRGGBB, top row first) standing for
// the device rectangle clipBox, the part of the device that is visible. The caller hands the
// painted part of the buffer to its painter afterwards.
struct DibDrawTarget {
    uint32_t* pixels = nullptr;
    size_t stride = 0; // pixels per row of the buffer, at least the clip box's width
    DibRect clipBox;
    DibRect painted; // set by Draw: the device rectangle it painted, empty when none
};

class CDibImage {
public:
    // The type names the format an image is made for; nothing depends on it, so it is not kept.
    explicit CDibImage(uint32_t type = kImageTypeNone);
    // A Copy of source; empty when memory runs out.
    CDibImage(const CDibImage& source, bool copyPixels = true, bool copyAlpha = true);
    CDibImage& operator=(const CDibImage& source);
    // Moving hands the pixel block and alpha plane over as a whole and leaves other empty.
    CDibImage(CDibImage&& other) noexcept;
    CDibImage& operator=(CDibImage&& other) noexcept;
    ~CDibImage() = default;

    // Frees the pixel block and the alpha plane. Always true.
    bool Destroy();
    // A zero-filled image of the given size; bits become 1, 4, 8 or 24 (anything above 8 is
    // 24). Returns the new pixel block, or null (and an empty image) on a zero or oversized
    // width or height, or when memory runs out.
    uint8_t* Create(uint32_t width, uint32_t height, uint32_t bits, uint32_t type = kImageTypeNone);
    // An 8-bit image of the given size with the grey palette, the rows zero, for a caller
    // that writes grey levels itself; the same result as Create otherwise.
    uint8_t* CreateGrey(uint32_t width, uint32_t height, uint32_t type = kImageTypeNone);
    // Builds the image from rows of bytesPerLine bytes in source; bits 1, 4, 8, 24 or 32
    // (32 gives 24-bit colours plus an alpha plane from the fourth bytes). With flip, source
    // row r becomes image row height - 1 - r, so the first source row ends at the top.
    // False, leaving the image unchanged, when source is too short for the rows.
    bool CreateFromArray(std::span<const uint8_t> source, uint32_t width, uint32_t height, uint32_t bits,
        uint32_t bytesPerLine, bool flip);
    // Takes over source's attributes and size; copies the whole block with copyPixels (else
    // only the palette) and the alpha plane with copyAlpha.
    bool Copy(const CDibImage& source, bool copyPixels = true, bool copyAlpha = true);
    // Decodes an encoded picture (only kImageTypeJPEG). On failure the image is unchanged.
    bool Decode(std::span<const uint8_t> buffer, uint32_t type);

    uint32_t GetWidth() const { return uint32_t(m_head.width); }
    uint32_t GetHeight() const { return uint32_t(m_head.height); }
    uint16_t GetBpp() const { return m_head.bitCount; }
    bool IsValid() const { return !m_block.empty(); }

    // Layout access: the bytes per row, the first (bottom) pixel row, the whole block
    // (header, palette, rows) and the alpha plane (empty when there is none).
    uint32_t GetEffWidth() const { return m_stride; }
    uint8_t* GetBits() { return m_block.empty() ? nullptr : m_block.data() + RowsOffset(); }
    const uint8_t* GetBits() const { return m_block.empty() ? nullptr : m_block.data() + RowsOffset(); }
    std::span<const uint8_t> GetDib() const { return m_block; }
    std::span<const uint8_t> GetAlpha() const { return m_alpha; }

    // Pixel (x, y), counted from the bottom-left, gets colour: its blue, green and red in a
    // 24-bit image, the nearest palette entry in a palette image; and its alpha when setAlpha
    // is true and there is an alpha plane. Coordinates outside the image are ignored.
    void SetPixelColor(int32_t x, int32_t y, RGBQUAD colour, bool setAlpha = false);
    // Reverses the order of the rows (and of the alpha rows). False for an empty image.
    bool Flip();
    // Sets the whole alpha plane to level; nothing when there is none.
    void AlphaSet(uint8_t level);
    // Turns the picture into 8-bit grey levels (blue × 117 + green × 601 + red × 306) >> 10
    // with the grey palette. False for an empty image or when memory runs out.
    bool GrayScale();
    // Makes this image the grey version of source: the pixels of a Copy of source turned
    // grey, without making the copy.
    bool GrayScaleOf(const CDibImage& source);
    // Each non-null target becomes an 8-bit grey image of one colour channel of this image.
    bool SplitRGB(CDibImage* red, CDibImage* green, CDibImage* blue) const;
    // Rebuilds this image as 24 bits from the pixel indices of three palette images of one
    // size; an alpha image of that size becomes the alpha plane.
    bool Combine(const CDibImage* red, const CDibImage* green, const CDibImage* blue,
        const CDibImage* alpha = nullptr);

    // Writes the image to path in the given format (only kImageTypeBMP). The file is created
    // or emptied even when the image is empty, which gives false; so does any failed write.
    bool Save(const std::string& path, uint32_t type) const;
    // Writes the image into an open stream; false for an empty image or a failed write.
    bool Save(CByteStream& stream, uint32_t type) const;
    // Paints the picture scaled by nearest-neighbour sampling to the rectangle (x, y, cx, cy),
    // within the target's clip box and clip when given; a negative cx or cy stands for the
    // image's width or height. Returns 1 when it painted, 0 otherwise.
    int Draw(DibDrawTarget* target, int32_t x, int32_t y, int32_t cx, int32_t cy,
        const DibRect* clip = nullptr) const;

private:
    size_t RowsOffset() const { return kDibHeaderSize + 4 * size_t(m_head.clrUsed); }
    uint8_t* Row(uint32_t y) { return GetBits() + size_t(y) * m_stride; }
    const uint8_t* Row(uint32_t y) const { return GetBits() + size_t(y) * m_stride; }
    RGBQUAD PaletteColor(uint32_t index) const;
    void SetPaletteColor(uint32_t index, RGBQUAD colour);
    void SetGreyPalette();
    RGBQUAD ColorAt(uint32_t x, uint32_t y) const;
    uint8_t IndexAt(uint32_t x, uint32_t y) const;
    void SetIndexAt(uint32_t x, uint32_t y, uint8_t index);
    uint8_t NearestIndex(RGBQUAD colour) const;
    bool CreateAlpha();
    void TakeAttributes(const CDibImage& source);
    void SetResolution(int32_t xDpi, int32_t yDpi);
    void WriteHeader();
    void MoveFrom(CDibImage& other) noexcept;

    bool DecodeJPEG(CByteStream& stream);
    bool EncodeBMP(CByteStream& stream) const;

    DibHeader m_head;
    std::vector<uint8_t> m_block; // header, palette and rows in one allocation
    std::vector<uint8_t> m_alpha; // width × height opacities, bottom row first; empty: none
    uint32_t m_stride = 0;
    // Resolution in dots per inch; the header holds it in pixels per metre.
    int32_t m_xDpi = 96;
    int32_t m_yDpi = 96;
};

// The grey level the image buffer gives a colour.
inline uint8_t GreyLevel(uint8_t blue, uint8_t green, uint8_t red)
{
    return uint8_t((blue * 117 + green * 601 + red * 306) >> 10);
}

} // namespace orvanel
