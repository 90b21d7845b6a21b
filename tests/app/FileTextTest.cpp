#include "app/FileKind.h"
#include "app/FileText.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::MakeEntry;
using writer::StoredFile;

std::string RecordText(const std::vector<uint8_t>& body, bool* found = nullptr)
{
    const auto bytes = StoredFile(0x31000001, body);
    const DATEntry entry = MakeEntry(0x31000001, 0, uint32_t(bytes.size()));
    std::string text = "stale";
    const bool ok = GetRecordText(bytes, &entry, text);
    if (found)
        *found = ok;
    return text;
}

TEST(FileKinds, ByTopByte)
{
    EXPECT_EQ(ClassifyFileID(0x04000010), FileKind::ColourTable);
    EXPECT_EQ(ClassifyFileID(0x06FFFFFF), FileKind::Texture);
    EXPECT_EQ(ClassifyFileID(0x0A000000), FileKind::Sound);
    EXPECT_EQ(ClassifyFileID(0x31000001), FileKind::TextRecord);
    for (uint32_t other : {0x00000006u, 0x05000000u, 0x08000001u, 0x30FFFFFFu, 0xFF000000u})
        EXPECT_EQ(ClassifyFileID(other), FileKind::Raw) << std::hex << other;
    EXPECT_STREQ(ExportExtension(FileKind::Texture), ".bmp");
    EXPECT_STREQ(ExportExtension(FileKind::ColourTable), ".bmp");
    EXPECT_STREQ(ExportExtension(FileKind::Sound), ".wav");
    EXPECT_STREQ(ExportExtension(FileKind::TextRecord), ".txt");
    EXPECT_STREQ(ExportExtension(FileKind::Raw), ".bin");
}

TEST(FileKinds, StoredIDCheckExemptsCategory08)
{
    uint32_t word = 1;
    const auto good = StoredFile(0x06000001);
    EXPECT_EQ(CheckStoredID(good, MakeEntry(0x06000001, 0, 4), word), StoredIDCheck::Matches);
    EXPECT_EQ(CheckStoredID(good, MakeEntry(0x06000002, 0, 4), word), StoredIDCheck::Differs);
    EXPECT_EQ(word, 0x06000001u);
    EXPECT_EQ(CheckStoredID(good, MakeEntry(0x08000002, 0, 4), word), StoredIDCheck::Matches);
    const std::vector<uint8_t> shortFile{1, 0, 0};
    EXPECT_EQ(CheckStoredID(shortFile, MakeEntry(0x08000001, 0, 3), word), StoredIDCheck::TooShort);
    EXPECT_EQ(word, 0u);
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
    text = "stale";
    EXPECT_FALSE(GetRawText({}, &entry, text));
    EXPECT_TRUE(text.empty());

    // An entry claiming more than was read never reaches past the bytes.
    const DATEntry longer = MakeEntry(1, 0, 100);
    EXPECT_TRUE(GetRawText(bytes, &longer, text));
    EXPECT_EQ(text.size(), 6u);
}

TEST(RecordText, OneByteLength)
{
    bool found = false;
    EXPECT_EQ(RecordText({5, 'H', 'e', 'l', 'l', 'o'}, &found), "Hello");
    EXPECT_TRUE(found);
    EXPECT_EQ(RecordText({0}, &found), "");
    EXPECT_TRUE(found);
    // Only the low 7 bits of a one-byte length count.
    EXPECT_EQ(RecordText({0x83, 'a', 'b', 'c'}), "abc");
}

TEST(RecordText, TwoByteLengthWithTheTopBitSet)
{
    std::vector<uint8_t> body{0x80, 0x85};
    for (int i = 0; i < 133; ++i)
        body.push_back(uint8_t('a' + i % 26));
    const std::string text = RecordText(body);
    ASSERT_EQ(text.size(), 133u);
    EXPECT_EQ(text.substr(0, 3), "abc");

    // 300 = 0x012C: the first byte carries the top bit, the high bits of the length under it.
    std::vector<uint8_t> longer{0x81, 0x2C};
    longer.resize(2 + 300, 'x');
    EXPECT_EQ(RecordText(longer).size(), 300u);
}

TEST(RecordText, NoFittingWidthOrNothingAfterTheIDGivesEmptyText)
{
    bool found = true;
    EXPECT_EQ(RecordText({}, &found), "");
    EXPECT_FALSE(found);
    // 9 does not match 2 (k = 1), 0x0907 & 0x7FFF does not match 1, 0x090707 does not match 0.
    EXPECT_EQ(RecordText({9, 7, 7}, &found), "");
    EXPECT_FALSE(found);
}

TEST(RecordText, TextStopsAtZeroAndLineFeedsBecomeCRLF)
{
    const std::string text = RecordText({7, 'a', '\n', 'b', 0, 'c', '\n', 'd'});
    EXPECT_EQ(text.size(), 7u);
    EXPECT_EQ(TextBeforeZero(text), "a\nb");
    EXPECT_EQ(WithCRLF(TextBeforeZero(text)), "a\r\nb");
    EXPECT_EQ(WithCRLF("\n\nx\n"), "\r\n\r\nx\r\n");
}

} // namespace
} // namespace orvanel
