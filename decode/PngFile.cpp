// PNG output through libpng, into memory. The rows are handed over one at a time, top row
// first: a palette row straight from the pixel block, a 24-bit row turned from blue-green-red
// into RGB order and a row with alpha assembled in RGBA order, each in one row buffer.

#include "decode/PngFile.h"

#include "decode/ByteStream.h"

#include <csetjmp>
#include <cstring>
#include <new>
#include <png.h>
#include <vector>

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define ORVANEL_SHUFFLED_ROWS 1
#endif

namespace orvanel {

namespace {

// Saving many pictures must stay close to the speed of BMP files, and even zlib's fastest
// compression costs four times a BMP file's write on texture-sized pictures: the rows are
// stored unfiltered in uncompressed deflate blocks, so a file costs little more than its
// checksums and is about the size of its BMP file.
constexpr int kCompressionLevel = 0;
constexpr int kRowFilters = PNG_FILTER_NONE;
// Stored blocks need no history: with the smallest window and hash a row of a few hundred
// bytes goes straight out as a block of its own instead of through the window, and each
// file's compressor is set up without clearing a quarter of a megabyte.
constexpr int kWindowBits = 9;
constexpr int kMemLevel = 1;
constexpr size_t kStreamBufferBytes = size_t(1) << 16;

void AppendToBuffer(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void FlushStream(png_structp)
{
}

// libpng's errors end the encoding through its jump buffer; its warnings are of no use here.
void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp)
{
}

// Blue-green-red pixels into red-green-blue, and with alpha beside them into red-green-blue-
// alpha. These copies are a quarter of a PNG file's cost beyond its checksums; with byte
// shuffles they take a third of the time a byte at a time does.
void RowToRGBScalar(const uint8_t* bgr, uint8_t* rgb, uint32_t first, uint32_t width)
{
    for (uint32_t x = first; x < width; ++x) {
        rgb[3 * x] = bgr[3 * x + 2];
        rgb[3 * x + 1] = bgr[3 * x + 1];
        rgb[3 * x + 2] = bgr[3 * x];
    }
}

void RowToRGBAScalar(const uint8_t* bgr, const uint8_t* alpha, uint8_t* rgba, uint32_t first, uint32_t width)
{
    for (uint32_t x = first; x < width; ++x) {
        rgba[4 * x] = bgr[3 * x + 2];
        rgba[4 * x + 1] = bgr[3 * x + 1];
        rgba[4 * x + 2] = bgr[3 * x];
        rgba[4 * x + 3] = alpha[x];
    }
}

#ifdef ORVANEL_SHUFFLED_ROWS
// Four pixels a step; a step reads and writes 16 bytes of which it uses 12 of the colours,
// so the last pixels of a row, where that would run past its end, go a byte at a time.
[[gnu::target("ssse3")]] void RowToRGBShuffled(const uint8_t* bgr, uint8_t* rgb, uint32_t width)
{
    const __m128i swap = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, -1, -1, -1, -1);
    uint32_t x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 3 * size_t(x)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb + 3 * size_t(x)), _mm_shuffle_epi8(pixels, swap));
    }
    RowToRGBScalar(bgr, rgb, x, width);
}

[[gnu::target("ssse3")]] void RowToRGBAShuffled(
    const uint8_t* bgr, const uint8_t* alpha, uint8_t* rgba, uint32_t width)
{
    const __m128i colours = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i opacities = _mm_setr_epi8(-1, -1, -1, 0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, 3);
    uint32_t x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 3 * size_t(x)));
        int32_t four = 0;
        std::memcpy(&four, alpha + x, sizeof four);
        const __m128i row = _mm_or_si128(
            _mm_shuffle_epi8(pixels, colours), _mm_shuffle_epi8(_mm_cvtsi32_si128(four), opacities));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rgba + 4 * size_t(x)), row);
    }
    RowToRGBAScalar(bgr, alpha, rgba, x, width);
}

const bool g_canShuffle = __builtin_cpu_supports("ssse3");
#endif

void RowToRGB(const uint8_t* bgr, uint8_t* rgb, uint32_t width)
{
#ifdef ORVANEL_SHUFFLED_ROWS
    if (g_canShuffle)
        return RowToRGBShuffled(bgr, rgb, width);
#endif
    RowToRGBScalar(bgr, rgb, 0, width);
}

void RowToRGBA(const uint8_t* bgr, const uint8_t* alpha, uint8_t* rgba, uint32_t width)
{
#ifdef ORVANEL_SHUFFLED_ROWS
    if (g_canShuffle)
        return RowToRGBAShuffled(bgr, alpha, rgba, width);
#endif
    RowToRGBAScalar(bgr, alpha, rgba, 0, width);
}

// How the picture's pixels become PNG samples.
struct Layout {
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<png_color> palette; // for PNG_COLOR_TYPE_PALETTE
};

bool IsGreyRamp(std::span<const uint8_t> palette, uint32_t colours)
{
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t level = uint8_t(i * (255 / (colours - 1)));
        const uint8_t* c = &palette[4 * size_t(i)];
        if (c[0] != level || c[1] != level || c[2] != level)
            return false;
    }
    return true;
}

// The colour of pixel x of a palette row.
const uint8_t* PaletteColour(const uint8_t* row, uint32_t x, uint16_t bits, const uint8_t* palette)
{
    uint32_t index = 0;
    switch (bits) {
    case 8: index = row[x]; break;
    case 4: index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F; break;
    default: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
    }
    return palette + 4 * size_t(index);
}

// Writes the header and the rows; everything it needs is made before, so that a jump out of
// libpng leaves nothing behind but what the caller frees.
bool WriteImage(png_structp png, png_infop info, const CDibImage& picture, std::span<const uint8_t> alpha,
    const Layout& layout, uint8_t* rowBuffer)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const uint32_t width = picture.GetWidth(), height = picture.GetHeight();
    const uint16_t bits = picture.GetBpp();
    const uint8_t* palette = picture.GetDib().data() + kDibHeaderSize;
    png_set_IHDR(png, info, width, height, layout.bitDepth, layout.colourType, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    png_set_compression_level(png, kCompressionLevel);
    png_set_compression_window_bits(png, kWindowBits);
    png_set_compression_mem_level(png, kMemLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kRowFilters);
    png_set_compression_buffer_size(png, kStreamBufferBytes);
    png_write_info(png, info);
    for (uint32_t r = 0; r < height; ++r) {
        const uint32_t y = height - 1 - r; // rows in memory run bottom-up
        const uint8_t* row = picture.GetBits() + size_t(y) * picture.GetEffWidth();
        if (alpha.empty()) {
            if (layout.colourType == PNG_COLOR_TYPE_RGB) {
                RowToRGB(row, rowBuffer, width);
                row = rowBuffer;
            }
            png_write_row(png, row);
            continue;
        }
        const uint8_t* opacities = alpha.data() + size_t(y) * width;
        if (bits == 24) {
            RowToRGBA(row, opacities, rowBuffer, width);
        } else {
            uint8_t* dst = rowBuffer;
            for (uint32_t x = 0; x < width; ++x, dst += 4) {
                const uint8_t* bgr = PaletteColour(row, x, bits, palette);
                dst[0] = bgr[2];
                dst[1] = bgr[1];
                dst[2] = bgr[0];
                dst[3] = opacities[x];
            }
        }
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool EncodePNG(const CDibImage& picture, std::span<const uint8_t> alpha, std::vector<uint8_t>& out)
{
    out.clear();
    if (!picture.IsValid())
        return false;
    const uint32_t width = picture.GetWidth(), height = picture.GetHeight();
    if (!alpha.empty() && alpha.size() != size_t(width) * height)
        return false;
    const uint16_t bits = picture.GetBpp();
    Layout layout;
    std::vector<uint8_t> rowBuffer;
    try {
        if (!alpha.empty()) {
            layout.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
            rowBuffer.resize(size_t(width) * 4);
        } else if (bits > 8) {
            rowBuffer.resize(size_t(width) * 3);
        } else {
            const uint32_t colours = 1u << bits;
            const auto palette = picture.GetDib().subspan(kDibHeaderSize, 4 * size_t(colours));
            layout.bitDepth = bits;
            if (IsGreyRamp(palette, colours)) {
                layout.colourType = PNG_COLOR_TYPE_GRAY;
            } else {
                layout.colourType = PNG_COLOR_TYPE_PALETTE;
                for (uint32_t i = 0; i < colours; ++i)
                    layout.palette.push_back({palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]});
            }
        }
        // The file is about as large as its pixels: one allocation for all of it.
        out.reserve(size_t(height) * (size_t(width) * (alpha.empty() ? 3 : 4) + 1) + (size_t(1) << 12));
    } catch (const std::bad_alloc&) {
        return false;
    }

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info) {
        png_set_write_fn(png, &out, AppendToBuffer, FlushStream);
        written = WriteImage(png, info, picture, alpha, layout, rowBuffer.data());
    }
    png_destroy_write_struct(&png, &info);
    if (!written)
        out.clear();
    return written;
}

bool EncodePNG(const CDibImage& picture, std::span<const uint8_t> alpha, CByteStream& out)
{
    std::vector<uint8_t> bytes;
    return EncodePNG(picture, alpha, bytes) && out.Write(bytes.data(), bytes.size(), 1) == 1 && !out.Error();
}

bool SavePNG(const CDibImage& picture, std::span<const uint8_t> alpha, const std::string& path)
{
    CStdioStream file;
    if (!file.Open(path, "wb"))
        return false;
    const bool encoded = EncodePNG(picture, alpha, file);
    const bool closed = file.Close();
    return encoded && closed;
}

} // namespace orvanel
