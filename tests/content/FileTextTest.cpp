#include "content/FileKind.h"
#include "content/FileText.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::MakeEntry;
using writer::StoredFile;

TEST(FileKinds, ByTopByteWithTheirExtensions)
{
    const struct {
        uint32_t id;
        FileKind kind;
        const char* extension;
    } cases[] = {
        {0x04000010, FileKind::ColourTable, ".bmp"}, {0x06FFFFFF, FileKind::Texture, ".bmp"},
        {0x0A000000, FileKind::Sound, ".wav"}, {0x31000001, FileKind::TextRecord, ".txt"},
        {0x00000006, FileKind::Raw, ".bin"}, {0x08000001, FileKind::Raw, ".bin"},
        {0x30FFFFFF, FileKind::Raw, ".bin"}, {0xFF000000, FileKind::Raw, ".bin"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyFileID(c.id), c.kind) << std::hex << c.id;
        EXPECT_STREQ(ExportExtension(ClassifyFileID(c.id)), c.extension) << std::hex << c.id;
    }
}

TEST(RawText, EveryByteOneCharacterZeroAsSpace)
{
    const std::vector<uint8_t> bytes{0x41, 0, 0x42, 0xFF, 0, 0x0A};
    const DATEntry entry = MakeEntry(1, 0, 6);
    std::string text = "stale";
    EXPECT_TRUE(GetRawText(bytes, &entry, text));
    EXPECT_EQ(text, std::string("A B\xFF \n"));
    EXPECT_FALSE(GetRawText(bytes, nullptr, text));
    EXPECT_TRUE(text.empty());
    // An entry claiming more than was read never reaches past the bytes.
    const DATEntry longer = MakeEntry(1, 0, 100);
    EXPECT_TRUE(GetRawText(bytes, &longer, text));
    EXPECT_EQ(text.size(), 6u);
}

TEST(RecordText, LengthWidthsAndRecordsNoWidthFits)
{
    std::vector<uint8_t> twoByte{0x80, 0x85}; // 1 byte: 0 ≠ 134; 2 bytes: 0x85 = 133
    twoByte.resize(2 + 133, 'a');
    std::vector<uint8_t> longer{0x81, 0x2C}; // 300 = 0x012C, the top bit marking the form
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
