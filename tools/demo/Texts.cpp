// The sample archive's text records (category 0x31): a short greeting with a one-byte
// length, and help pages long enough to need the two-byte length.

#include "tools/demo/DemoFiles.h"

#include <stdexcept>
#include <string>

namespace orvanel::demo {

using writer::FileSpec;

namespace {

const char* const kGreeting =
    "Welcome to the Orvanel sample archive.\nEvery file in it was made by its generator.";

const char* const kHelp =
    "About this archive\n"
    "\n"
    "This small archive stands in for the game's own client_portal.dat, so that the viewer "
    "can be tried without Tarnwick installed. It is laid out the way the game lays out its "
    "archives: fixed blocks of 1024 bytes chained together, and a directory tree several "
    "levels deep.\n"
    "\n"
    "Choose a line in the drop-down list at the top left to see one category. Textures are "
    "listed once as a whole and once per pixel format, so that every format can be looked at "
    "on its own: the three DXT formats, 8-bit grey, 24-bit and 32-bit colour, JPEG, 8-bit and "
    "16-bit indexed colour, and 16-bit greyscale. One texture is stored in a format the viewer "
    "does not know; it is listed, but shows no picture.\n"
    "\n"
    "Most textures carry a white triangle in their top-left corner. If the triangle shows in "
    "any other corner, the picture was turned over on its way to the screen. The rings and "
    "checkerboards show at once when a row is read with the wrong length.\n"
    "\n"
    "The sounds are tones, chimes and sweeps at several rates, in 8 and 16 bits, in mono and "
    "stereo. The longest runs for five seconds and moves from the left speaker to the right.\n"
    "\n"
    "A few files are damaged on purpose: one simple object does not carry its own ID, one "
    "dungeon block is shorter than its directory entry says, and one complex object is stored "
    "twice, in two versions.\n";

const char* const kKeys =
    "Keys\n"
    "\n"
    "Ctrl+O opens an archive and Ctrl+D opens the game's own, found through its installation.\n"
    "Ctrl+S saves the selected files into a folder: pictures as .bmp, sounds as .wav, texts as "
    ".txt and everything else as .bin.\n"
    "F6 moves to the next pane. In the hex pane, Ctrl+C copies the selected bytes.\n";

// The length before the text: one byte below 128, otherwise two, most significant first, with
// the top bit of the first set to mark the longer form.
FileSpec TextRecord(uint32_t id, const std::string& text)
{
    std::vector<uint8_t> body;
    if (text.size() < 0x80) {
        body.push_back(uint8_t(text.size()));
    } else if (text.size() < 0x8000) {
        body.push_back(uint8_t(0x80 | (text.size() >> 8)));
        body.push_back(uint8_t(text.size()));
    } else {
        throw std::length_error("text record too long for a two-byte length");
    }
    body.insert(body.end(), text.begin(), text.end());
    return {id, writer::StoredFile(id, body)};
}

} // namespace

std::vector<FileSpec> DemoTexts()
{
    return {
        TextRecord(0x31000001, kGreeting),
        TextRecord(0x31000002, kHelp),
        TextRecord(0x31000003, kKeys),
    };
}

} // namespace orvanel::demo
