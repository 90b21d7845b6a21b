#include "controls/HexDump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanel {
namespace {

TEST(HexDump, TextsOfRowsAddressesAndCharacters)
{
    struct Case {
        std::vector<uint8_t> data;
        uint32_t start, end;
        bool withAddress, withCharacters, crlf;
        std::string text;
    };
    const std::string row = "71 72 73 74 75 76 77 78 79 7A 61 62 63 64 65 66";
    const std::string letters = "abcdefghijklmnopqrstuvwxyzabcdefghijklmn";
    const Case cases[] = {
        // The first row keeps blanks before its first byte; the characters of every row
        // start 3 * 16 + 2 columns after its hex text does, a short last row padded.
        {{letters.begin(), letters.end()}, 14, 33, true, true, false,
            "000E   " + std::string(42, ' ') + "6F 70" + "   " + std::string(14, ' ') + "op\n" + "0010   "
                + row + "   qrstuvwxyzabcdef\n" + "0020   67 68" + std::string(45, ' ') + "gh\n"},
        // Limited to the data; nothing past it.
        {{0x10, 0x20, 0x30}, 1, 500, false, false, true, "   20 30\r\n"},
        {{0x10, 0x20, 0x30}, 3, 500, false, false, true, ""},
        {{}, 0, 0, false, false, true, ""},
        // Control and high bytes are dots, a space stays a space.
        {{0x7F, 0x80, 0x1F, 0x20, 0x41}, 0, 4, false, true, false,
            "7F 80 1F 20 41" + std::string(36, ' ') + "... A\n"},
        // Every address is as wide as the highest one, so the rows line up.
        {std::vector<uint8_t>(0x10001, 0), 0xFFFF, 0x10000, true, false, false,
            "0FFFF   " + std::string(45, ' ') + "00\n10000   00\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HexDumpOptions options;
        options.addressDigits = 4;
        options.withAddress = c.withAddress;
        options.withCharacters = c.withCharacters;
        options.crlf = c.crlf;
        EXPECT_EQ(FormatHexDump(c.data, c.start, c.end, options), c.text);
    }
}

} // namespace
} // namespace orvanel
