#include "controls/HexDump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanel {
namespace {

HexDumpOptions Options(bool withAddress, bool withCharacters, bool crlf = true)
{
    HexDumpOptions options;
    options.bytesPerRow = 16;
    options.addressDigits = 4;
    options.crlf = crlf;
    options.withAddress = withAddress;
    options.withCharacters = withCharacters;
    return options;
}

TEST(HexDump, LaterRowsCarryTheirOwnAddressAndCharactersLineUp)
{
    std::vector<uint8_t> data(40);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>('a' + i % 26);
    const std::string text = FormatHexDump(data, 14, 33, Options(true, true, false));

    std::vector<std::string> lines;
    for (size_t from = 0, to; (to = text.find('\n', from)) != std::string::npos; from = to + 1)
        lines.push_back(text.substr(from, to - from));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 7), "000E   ");
    EXPECT_EQ(lines[1].substr(0, 7), "0010   ");
    EXPECT_EQ(lines[2].substr(0, 7), "0020   ");
    // Characters start 3 * 16 + 2 columns after the hex text in every row, full or not.
    const size_t charStart = 7 + 3 * 16 + 2;
    EXPECT_EQ(lines[0].substr(charStart), std::string(14, ' ') + "op");
    EXPECT_EQ(lines[1].substr(charStart), "qrstuvwxyzabcdef");
    EXPECT_EQ(lines[2].substr(charStart), "gh");
    EXPECT_EQ(lines[2].substr(7, 5), "67 68");
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(HexDump, RangeIsLimitedToTheData)
{
    const std::vector<uint8_t> data = {0x10, 0x20, 0x30};
    EXPECT_EQ(FormatHexDump(data, 1, 500, Options(false, false)), "   20 30\r\n");
    EXPECT_EQ(FormatHexDump(data, 3, 500, Options(false, false)), "");
    EXPECT_EQ(FormatHexDump({}, 0, 0, Options(false, false)), "");
}

TEST(HexDump, ControlAndHighBytesShowAsDotsAndSpaceAsSpace)
{
    EXPECT_EQ(PrintableOrDot(0x7F), '.');
    EXPECT_EQ(PrintableOrDot(0x80), '.');
    EXPECT_EQ(PrintableOrDot(0x1F), '.');
    EXPECT_EQ(PrintableOrDot(0x20), ' ');
    EXPECT_EQ(PrintableOrDot(0x7E), '~');
    const std::vector<uint8_t> data = {0x7F, 0x80, 0x1F, 0x20, 0x41};
    const std::string text = FormatHexDump(data, 0, 4, Options(false, true));
    EXPECT_EQ(text.substr(text.size() - 7), "... A\r\n");
}

}  // namespace
}  // namespace orvanel
