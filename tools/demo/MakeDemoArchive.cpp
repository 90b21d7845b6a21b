// orvanel-make-demo: writes the project's sample archive, a small DAT archive with a few
// files of every kind the viewer shows (pictures, a colour table, sounds, help text, raw
// records), so that the programs can be tried without the game installed.

#include "archive/ByteOrder.h"
#include "tests/support/ArchiveBuilder.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace orvanel;
using orvanel::fixture::FileSpec;

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    const size_t at = v.size();
    v.resize(at + 4);
    WriteLE32(&v[at], x);
}

void Put16(std::vector<uint8_t>& v, uint16_t x)
{
    const size_t at = v.size();
    v.resize(at + 2);
    WriteLE16(&v[at], x);
}

// Texture record: ID, an unread word, width, height, format, data size, pixels.
FileSpec Texture(uint32_t id, uint32_t width, uint32_t height, uint32_t format,
    const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> r;
    for (uint32_t v : {id, 0u, width, height, format, uint32_t(pixels.size())})
        Put32(r, v);
    r.insert(r.end(), pixels.begin(), pixels.end());
    return {id, r};
}

FileSpec GreyGradient(uint32_t id, uint32_t size)
{
    std::vector<uint8_t> pixels(size * size);
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x)
            pixels[y * size + x] = uint8_t((x + y) * 255 / (2 * size - 2));
    return Texture(id, size, size, 28, pixels);
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
    return Texture(id, width, height, 20, pixels);
}

FileSpec ColourTable(uint32_t id, uint32_t count)
{
    std::vector<uint8_t> r;
    Put32(r, id);
    Put32(r, count);
    for (uint32_t i = 0; i < count; ++i)
        Put32(r, 0xFF000000u | (i << 16) | ((255 - i) << 8) | ((i * 7) & 0xFF));
    return {id, r};
}

// Sound record: ID, format size 18, sample bytes, the wave format header, two unread bytes,
// then the samples.
FileSpec Tone(uint32_t id, double hertz, double seconds)
{
    const uint32_t rate = 22050;
    const auto frames = uint32_t(rate * seconds);
    std::vector<uint8_t> r;
    Put32(r, id);
    Put32(r, 18);
    Put32(r, frames * 2);
    Put16(r, 1);
    Put16(r, 1);
    Put32(r, rate);
    Put32(r, rate * 2);
    Put16(r, 2);
    Put16(r, 16);
    Put16(r, 0);
    Put16(r, 0);
    for (uint32_t i = 0; i < frames; ++i) {
        const double fade = 1.0 - double(i) / frames;
        Put16(r, uint16_t(int16_t(12000 * fade * std::sin(2 * M_PI * hertz * i / rate))));
    }
    return {id, r};
}

FileSpec HelpText(uint32_t id, const std::string& text)
{
    std::vector<uint8_t> r;
    Put32(r, id);
    if (text.size() < 128) {
        r.push_back(uint8_t(text.size()));
    } else {
        r.push_back(uint8_t(0x80 | (text.size() >> 8)));
        r.push_back(uint8_t(text.size()));
    }
    r.insert(r.end(), text.begin(), text.end());
    return {id, r};
}

FileSpec Raw(uint32_t id, const std::string& text)
{
    std::vector<uint8_t> r;
    Put32(r, id);
    r.insert(r.end(), text.begin(), text.end());
    return {id, r};
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
        Tone(0x0A000001, 440.0, 1.0),
        Tone(0x0A000002, 660.0, 0.5),
        Raw(0x0E000001, std::string("Emote table\0with a zero byte", 28)),
        HelpText(0x31000001, "Welcome to Tarnwick.\nPress F1 for help."),
        HelpText(0x31000002, std::string(200, '*')),
    };
    fixture::CArchiveBuilder builder(256);
    builder.AddFilesAsTree(files, {4, 3});
    if (!builder.WriteFile(argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
