// orvanel-make-demo: writes the project's sample archive, a small DAT archive with a few
// files of every kind the viewer shows (pictures, a colour table, sounds, help text, raw
// records), so that the programs can be tried without the game installed.

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace orvanel;
using orvanel::writer::FileSpec;

namespace {

FileSpec GreyGradient(uint32_t id, uint32_t size)
{
    std::vector<uint8_t> pixels(size * size);
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x)
            pixels[y * size + x] = uint8_t((x + y) * 255 / (2 * size - 2));
    return {id, writer::MakeTextureRecord(id, size, size, 28, pixels)};
}

FileSpec ColourBars(uint32_t id, uint32_t width, uint32_t height)
{
    static const uint8_t bars[][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0}, {0, 255, 0},
        {255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {0, 0, 0}};
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* bgr = bars[x * 8 / width];
            pixels.insert(pixels.end(), bgr, bgr + 3);
        }
    return {id, writer::MakeTextureRecord(id, width, height, 20, pixels)};
}

// A round colour wheel on a dark ground, as red-green-blue(-alpha) pixels, top row first.
std::vector<uint8_t> Wheel(uint32_t size, int channels)
{
    std::vector<uint8_t> pixels;
    const double centre = (size - 1) / 2.0;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const double dx = x - centre, dy = y - centre;
            const bool inside = std::sqrt(dx * dx + dy * dy) < centre;
            const double angle = std::atan2(dy, dx);
            const uint8_t rgb[3] = {uint8_t(inside ? 127 + 127 * std::cos(angle) : 20),
                uint8_t(inside ? 127 + 127 * std::cos(angle - 2.094) : 20),
                uint8_t(inside ? 127 + 127 * std::cos(angle + 2.094) : 40)};
            pixels.insert(pixels.end(), rgb, rgb + 3);
            if (channels == 4)
                pixels.push_back(255);
        }
    return pixels;
}

FileSpec DXT1Wheel(uint32_t id, uint32_t size)
{
    const uint32_t dxt1 = 0x31545844;
    return {id, writer::MakeTextureRecord(id, size, size, dxt1, writer::CompressDXT(Wheel(size, 4), size, size, dxt1))};
}

FileSpec JPEGWheel(uint32_t id, uint32_t size)
{
    return {id, writer::MakeTextureRecord(id, size, size, 500, writer::EncodeJPEG(Wheel(size, 3), size, size, 3))};
}

// Stripes of the 16 colours of a palette.
FileSpec IndexedStripes(uint32_t id, uint32_t size, uint32_t paletteID)
{
    std::vector<uint8_t> indices(size * size);
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x)
            indices[y * size + x] = uint8_t((x + y) * 16 / (2 * size));
    return {id, writer::MakeIndexedTextureRecord(id, size, size, 41, indices, paletteID)};
}

FileSpec ColourTable(uint32_t id, uint32_t count)
{
    // Colours around the hue circle, as 0xAARRGGBB.
    std::vector<uint32_t> colours(count);
    for (uint32_t i = 0; i < count; ++i) {
        const double angle = 6.2832 * i / count;
        const auto level = [&](double shift) { return uint32_t(127 + 127 * std::cos(angle + shift)); };
        colours[i] = 0xFF000000u | (level(0) << 16) | (level(-2.094) << 8) | level(2.094);
    }
    return {id, writer::MakeColourTableRecord(id, colours)};
}

FileSpec Tone(uint32_t id, double hertz, double seconds)
{
    const uint32_t rate = 22050;
    const auto frames = uint32_t(rate * seconds);
    std::vector<uint8_t> samples(size_t(frames) * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        const double fade = 1.0 - double(i) / frames;
        WriteLE16(&samples[2 * i], uint16_t(int16_t(12000 * fade * std::sin(2 * M_PI * hertz * i / rate))));
    }
    return {id, writer::MakeSoundRecord(id, writer::PCMFormat(1, rate, 16), samples)};
}

// Text record: the length in one byte below 128, else in two with the top bit set.
FileSpec HelpText(uint32_t id, const std::string& text)
{
    std::vector<uint8_t> body;
    if (text.size() < 128) {
        body.push_back(uint8_t(text.size()));
    } else {
        body.push_back(uint8_t(0x80 | (text.size() >> 8)));
        body.push_back(uint8_t(text.size()));
    }
    body.insert(body.end(), text.begin(), text.end());
    return {id, writer::StoredFile(id, body)};
}

FileSpec Raw(uint32_t id, const std::string& text)
{
    return {id, writer::StoredFile(id, std::vector<uint8_t>(text.begin(), text.end()))};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: orvanel-make-demo OUTPUT.dat\n");
        return 2;
    }
    std::vector<FileSpec> files = {
        Raw(0x01000001, "A simple object: a lantern post."),
        Raw(0x02000001, "A complex object made of simple objects."),
        ColourTable(0x04000001, 256),
        ColourTable(0x04000002, 16),
        GreyGradient(0x06000001, 64),
        ColourBars(0x06000002, 128, 32),
        GreyGradient(0x06000003, 16),
        DXT1Wheel(0x06000004, 64),
        JPEGWheel(0x06000005, 64),
        IndexedStripes(0x06000006, 32, 0x04000002),
        IndexedStripes(0x06000007, 32, 0x04000099),
        Tone(0x0A000001, 440.0, 1.0),
        Tone(0x0A000002, 660.0, 0.5),
        Raw(0x0E000001, std::string("Emote table\0with a zero byte", 28)),
        HelpText(0x31000001, "Welcome to Tarnwick.\nPress F1 for help."),
        HelpText(0x31000002, std::string(200, '*')),
    };
    writer::CArchiveBuilder builder(256);
    builder.AddFilesAsTree(files, {4, 3});
    if (!builder.WriteFile(argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
