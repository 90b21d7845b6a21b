// The sample archive's pictures: a texture in every stored pixel format (and one in a format
// the viewer does not know), and the colour tables that the indexed textures use.

#include "tools/demo/DemoFiles.h"
#include "tools/demo/Drawing.h"

#include "decode/TextureRecord.h"
#include "writer/RecordBuilders.h"

#include <algorithm>
#include <cmath>

namespace orvanel::demo {

using writer::FileSpec;

namespace {

uint32_t Packed(Colour c)
{
    return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

FileSpec Texture(uint32_t id, const CCanvas& canvas, uint32_t format, const std::vector<uint8_t>& data)
{
    return {id, writer::MakeTextureRecord(id, canvas.Width(), canvas.Height(), format, data)};
}

FileSpec DXT(uint32_t id, const CCanvas& canvas, uint32_t format)
{
    return Texture(
        id, canvas, format, writer::CompressDXT(canvas.RGBA(), canvas.Width(), canvas.Height(), format));
}

// Indices of a hue wheel for the 256-colour table: the index is the angle around the centre,
// and the ring the pixel lies in shifts it by a quarter turn.
std::vector<uint8_t> WheelIndices(uint32_t size)
{
    std::vector<uint8_t> indices;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const int ring = int(Radius(x, y, size, size) * 4);
            indices.push_back(uint8_t(int(Turn(x, y, size, size) * 256) + ring * 64));
        }
    return indices;
}

// 16-bit indices into the 2048-colour table, whose 64 columns are hues and whose 32 rows fade
// to black: hue by angle, brightness by distance from the centre.
std::vector<uint16_t> ShadedWheelIndices(uint32_t size)
{
    std::vector<uint16_t> indices;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const auto column = uint16_t(Turn(x, y, size, size) * 64) % 64;
            const auto row = uint16_t(std::min(31.0, Radius(x, y, size, size) * 31));
            indices.push_back(uint16_t(row * 64 + column));
        }
    return indices;
}

// 16-bit grey values between low and high: a radial ramp with a ripple.
std::vector<uint16_t> GreyRipple(uint32_t size, uint16_t low, uint16_t high)
{
    std::vector<uint16_t> values;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const double r = std::min(1.0, Radius(x, y, size, size));
            const double level = (1.0 - r) * (0.75 + 0.25 * std::cos(r * 40));
            values.push_back(uint16_t(low + (high - low) * std::clamp(level, 0.0, 1.0)));
        }
    return values;
}

std::vector<uint16_t> GreyChecker(uint32_t size, uint32_t cell)
{
    std::vector<uint16_t> values;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x)
            values.push_back(uint16_t(((x / cell + y / cell) % 2) ? 40000 + 100 * x : 3000 + 100 * y));
    return values;
}

FileSpec ColourTable(uint32_t id, const std::vector<Colour>& colours)
{
    std::vector<uint32_t> packed;
    for (const Colour& c : colours)
        packed.push_back(Packed(c));
    return {id, writer::MakeColourTableRecord(id, packed)};
}

} // namespace

std::vector<FileSpec> DemoColourTables()
{
    std::vector<Colour> hues, shades, greys, rainbow;
    for (uint32_t i = 0; i < 256; ++i)
        hues.push_back(Hue(i / 256.0));
    for (uint32_t row = 0; row < 32; ++row)
        for (uint32_t column = 0; column < 64; ++column)
            shades.push_back(Hue(column / 64.0, 1.0 - row / 32.0));
    // 255 colours: 15 x 17 grey steps, tinted along each row so that the rows can be told apart.
    for (uint32_t i = 0; i < 255; ++i) {
        const auto level = uint8_t(i);
        greys.push_back({level, level, uint8_t(level / 2 + (i % 15) * 8)});
    }
    for (uint32_t i = 0; i < 7; ++i)
        rainbow.push_back(Hue(i / 7.0));
    return {
        ColourTable(kPalette256, hues),
        ColourTable(kPalette2048, shades),
        ColourTable(0x04000003, greys),
        ColourTable(0x04000004, rainbow),
    };
}

std::vector<FileSpec> DemoTextures()
{
    const Colour navy {20, 30, 90}, gold {230, 190, 40}, white {255, 255, 255}, black {0, 0, 0};
    const CCanvas rings256 = Rings(256, 256);
    const CCanvas rings128 = Rings(128, 128);
    const CCanvas gradient = Gradient(64, 64);
    const CCanvas tiny = Checkerboard(8, 8, 2, white, black);
    const CCanvas bars = ColourBars(128, 64);
    const CCanvas wheel512 = Rings(512, 512);
    const CCanvas checker = Checkerboard(256, 128, 16, navy, gold);
    const CCanvas photo = Gradient(320, 240);

    std::vector<FileSpec> files = {
        Texture(0x06000001, rings256, kTextureRGB24, rings256.BGR()),
        Texture(0x06000002, bars, kTextureRGB24Alt, bars.BGR()),
        Texture(0x06000003, gradient, kTextureGrey8, gradient.Grey()),
        Texture(0x06000004, tiny, kTextureGrey8Alt, tiny.Grey()),
        Texture(0x06000005, rings128, kTextureRGBA32, rings128.BGRA()),
        DXT(0x06000006, wheel512, kTextureDXT1),
        DXT(0x06000007, checker, kTextureDXT3),
        DXT(0x06000008, rings128, kTextureDXT5),
        Texture(0x06000009, photo, kTextureJPEG,
            writer::EncodeJPEG(photo.RGB(), photo.Width(), photo.Height(), 3, 85)),
        {0x0600000A,
            writer::MakeIndexedTextureRecord(
                0x0600000A, 128, 128, kTextureIndexed8, WheelIndices(128), kPalette256)},
        {0x0600000B,
            writer::MakeIndexedTextureRecord(0x0600000B, 256, 256, kTextureIndexed16,
                writer::Values16(ShadedWheelIndices(256)), kPalette2048)},
        {0x0600000C,
            writer::MakeIndexedTextureRecord(
                0x0600000C, 64, 64, kTextureIndexed8, WheelIndices(64), kMissingPalette)},
        {0x0600000D,
            writer::MakeTextureRecord(
                0x0600000D, 128, 128, kTextureGrey16, writer::Values16(GreyRipple(128, 1000, 60000)))},
        {0x0600000E,
            writer::MakeTextureRecord(
                0x0600000E, 32, 32, kTextureGrey16Alt, writer::Values16(GreyChecker(32, 4)))},
    };
    // A format code the viewer has no decoder for: listed as "???", shown as nothing.
    const CCanvas unknown = Checkerboard(16, 16, 4, gold, navy);
    files.push_back(Texture(0x0600000F, unknown, 0x16, unknown.BGR()));
    return files;
}

} // namespace orvanel::demo
