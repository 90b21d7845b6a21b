#include "content/FileText.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::MakeEntry;
using writer::StoredFile;

TEST(RawText, Windows1252WithVisibleControlsAndCappedLength)
{
    const struct {
        std::vector<uint8_t> bytes;
        uint32_t entrySize;
        std::string text;
    } cases[] = {
        {{'A', 0, 0xFF, '\t', '\n', '\r'}, 6, "A \xC3\xBF\t\n\r"},
        {{0x80, 0x92, 0x9F, 0x81}, 4, "\xE2\x82\xAC\xE2\x80\x99\xC5\xB8\xC2\xB7"},
        {{0x01, 0x1B, 0x7F}, 3, "\xC2\xB7\xC2\xB7\xC2\xB7"},
        // An entry claiming more than was read never reaches past the bytes.
        {{'a', 'b'}, 100, "ab"},
    };
    for (const auto& c : cases) {
        const DATEntry entry = MakeEntry(1, 0, c.entrySize);
        std::string text = "stale";
        EXPECT_TRUE(GetRawText(c.bytes, &entry, text));
        EXPECT_EQ(text, c.text);
    }
    std::string text = "stale";
    EXPECT_FALSE(GetRawText(cases[0].bytes, nullptr, text));
    EXPECT_TRUE(text.empty());

    const std::vector<uint8_t> big(kRawTextLimit + 12345, 'x');
    const DATEntry bigEntry = MakeEntry(1, 0, uint32_t(big.size()));
    EXPECT_TRUE(GetRawText(big, &bigEntry, text));
    EXPECT_EQ(text.find_first_not_of('x'), kRawTextLimit);
    EXPECT_NE(text.find("\n[12345 more bytes follow"), std::string::npos);
}

TEST(RecordText, LengthWidthsAndRecordsNoWidthFits)
{
    std::vector<uint8_t> twoByte {0x80, 0x85}; // 1 byte: 0 ≠ 134; 2 bytes: 0x85 = 133
    twoByte.resize(2 + 133, 'a');
    std::vector<uint8_t> longer {0x81, 0x2C}; // 300 = 0x012C, the top bit marking the form
    longer.resize(2 + 300, 'x');
    const struct {
        const char* name;
        std::vector<uint8_t> body;
        bool found;
        std::string text;
    } cases[] = {
        {"one byte", {5, 'H', 'e', 'l', 'l', 'o'}, true, "Hello"},
        {"zero length", {0}, true, ""},
        {"low 7 bits of one byte", {0x83, 'a', 'b', 'c'}, true, "abc"},
        {"two bytes", twoByte, true, std::string(133, 'a')},
        {"two bytes, 300", longer, true, std::string(300, 'x')},
        {"nothing after the ID", {}, false, ""},
        // 9 ≠ 2 (k = 1), 0x0907 & 0x7FFF ≠ 1, 0x090707 & 0x7FFFFF ≠ 0.
        {"no width fits", {9, 7, 7}, false, ""},
    };
    for (const auto& c : cases) {
        const auto bytes = StoredFile(0x31000001, c.body);
        const DATEntry entry = MakeEntry(0x31000001, 0, uint32_t(bytes.size()));
        std::string text = "stale";
        EXPECT_EQ(GetRecordText(bytes, &entry, text), c.found) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

} // namespace
} // namespace orvanel
