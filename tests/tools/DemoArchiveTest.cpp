// The sample archive, read back through the core as the viewer reads it: every category and
// texture-format line with its count, every picture, sound and text record usable, and the
// deliberately odd files where they should be.

#include "tools/demo/DemoArchive.h"

#include "app/FileText.h"
#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"
#include "tests/support/CatalogueFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <utility>

namespace orvanel {
namespace {

class DemoArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<fixture::CTempDir>();
        s_path = s_dir->File("demo.dat");
        ASSERT_TRUE(demo::WriteDemoArchive(s_path));
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        m_archive = std::make_unique<CDATArchive>(s_path, m_prompts, m_busy);
        ASSERT_TRUE(m_archive->BuildCatalogue());
        ASSERT_TRUE(m_prompts.asked.empty());
    }

    const DATEntryList& Category(uint8_t category) const { return m_archive->CategoryLists().at(category); }

    DATFileBytes Read(const DATEntry& entry) const
    {
        auto bytes = m_archive->ReadFile(entry);
        EXPECT_TRUE(bytes.has_value()) << std::hex << entry.fileID;
        return bytes.value_or(DATFileBytes{});
    }

    static inline std::unique_ptr<fixture::CTempDir> s_dir;
    static inline std::string s_path;
    fixture::CFakePrompts m_prompts;
    CNoBusyIndicator m_busy;
    std::unique_ptr<CDATArchive> m_archive;
};

TEST_F(DemoArchive, ListsEveryCategoryAndTextureFormat)
{
    fixture::CRecordingSelector selector;
    m_archive->FillCategoryList(selector);
    const std::vector<std::string> expected = {
        "01 - Simple Objects (3 files)",
        "02 - Complex Objects (comprised of simple objects) (3 files)",
        "03 - Animations (2 files)",
        "04 - Color LookUp Tables (4 files)",
        "05 - ??? (3 files)",
        "06 - UI Graphics, Textures, etc. (15 files)",
        "06 - 00000014 - 24bit (1 files)",
        "06 - 00000015 - 32bit (1 files)",
        "06 - 00000016 - ??? (1 files)",
        "06 - 00000017 - 16bit Greyscale (1 files)",
        "06 - 0000001A - 16bit Greyscale (1 files)",
        "06 - 0000001C - 8bit (1 files)",
        "06 - 00000029 - 8bit Indexed (2 files)",
        "06 - 00000065 - 16bit Indexed (1 files)",
        "06 - 000000F3 - 24bit (1 files)",
        "06 - 000000F4 - 8bit (1 files)",
        "06 - 000001F4 - JPEG (1 files)",
        "06 - 31545844 - DXT1 (1 files)",
        "06 - 33545844 - DXT3 (1 files)",
        "06 - 35545844 - DXT5 (1 files)",
        "08 - ??? (2 files)",
        "0A - Sounds (6 files)",
        "0D - Dungeon Blocks (2 files)",
        "0E - Emotes, Skills, Creation, Quest Timers, etc. (1 files)",
        "0F - Lists of Color LookUp Tables (1 files)",
        "13 - Calendar, Ambient Config, etc. (1 files)",
        "22 - Datatypes, Enums, Commands, etc. (1 files)",
        "25 - GUI Layout (1 files)",
        "27 - Components, Gems, Materials, etc. (1 files)",
        "31 - Help (3 files)",
    };
    EXPECT_EQ(selector.lines, expected);
    for (size_t i = 0; i < selector.lists.size(); ++i)
        EXPECT_NE(selector.lists[i], nullptr) << selector.lines[i];
}

TEST_F(DemoArchive, IsSmallWithFullBlocksAndADeepDirectory)
{
    EXPECT_LT(std::filesystem::file_size(s_path), 8u << 20);
    const auto data = m_archive->Data();
    EXPECT_EQ(ReadLE32(&data[kDATBlockSizeOffset]), demo::kDemoBlockSize);
    // Four levels: the root, a child, a grandchild and a great-grandchild.
    uint32_t node = ReadLE32(&data[kDATRootOffset]);
    for (int level = 0; level < 3; ++level) {
        node = ReadLE32(&data[node + kDATBranchesOffset]);
        ASSERT_NE(node, 0u) << "level " << level + 1;
    }
}

TEST_F(DemoArchive, EveryPictureDecodesButTheUnknownFormat)
{
    std::set<uint32_t> noteKinds;
    for (uint8_t category : {kCategoryColourTable, kCategoryTexture})
        for (const DATEntry* entry : Category(category)) {
            const DATFileBytes bytes = Read(*entry);
            ASSERT_GE(bytes.size(), 24u);
            CDibImage colour, grey;
            float scale = 0;
            uint32_t noteKind = 0, noteFileID = 0;
            const bool decoded = DecodeImage(*m_archive, bytes, *entry, colour, grey, scale, noteKind, noteFileID);
            if (category == kCategoryTexture && ReadLE32(&bytes[16]) == 0x16) {
                EXPECT_FALSE(decoded);
                EXPECT_FALSE(colour.IsValid());
                continue;
            }
            ASSERT_TRUE(decoded) << std::hex << entry->fileID;
            EXPECT_TRUE(colour.IsValid() && grey.IsValid()) << std::hex << entry->fileID;
            if (category == kCategoryTexture) {
                EXPECT_EQ(colour.GetWidth(), ReadLE32(&bytes[8])) << std::hex << entry->fileID;
                EXPECT_EQ(colour.GetHeight(), ReadLE32(&bytes[12])) << std::hex << entry->fileID;
                EXPECT_EQ(scale, 1.0f);
            } else {
                EXPECT_EQ(colour.GetWidth() * colour.GetHeight(), ReadLE32(&bytes[4]));
                EXPECT_EQ(scale, 8.0f);
            }
            noteKinds.insert(noteKind);
        }
    // Plain pictures, an indexed texture without its palette, indexed textures with theirs,
    // and 16-bit greyscale.
    EXPECT_EQ(noteKinds, (std::set<uint32_t>{0, 1, 2, 3}));
}

TEST_F(DemoArchive, EverySoundLoads)
{
    std::set<std::pair<uint16_t, uint16_t>> bitsAndChannels;
    std::set<uint32_t> rates;
    double longest = 0;
    for (const DATEntry* entry : Category(0x0A)) {
        CWaveSound sound;
        LoadSoundRecord(Read(*entry), *entry, sound);
        ASSERT_NE(sound.GetSamples(), nullptr) << std::hex << entry->fileID;
        const WaveFormat& format = sound.GetFormat();
        ASSERT_GT(format.avgBytesPerSec, 0u);
        const double seconds = double(sound.GetSampleCount()) / format.avgBytesPerSec;
        EXPECT_GT(seconds, 0.1) << std::hex << entry->fileID;
        longest = std::max(longest, seconds);
        bitsAndChannels.insert({format.bitsPerSample, format.channels});
        rates.insert(format.samplesPerSec);
    }
    EXPECT_EQ(bitsAndChannels, (std::set<std::pair<uint16_t, uint16_t>>{{8, 1}, {8, 2}, {16, 1}, {16, 2}}));
    EXPECT_EQ(*rates.begin(), 11025u);
    EXPECT_EQ(*rates.rbegin(), 44100u);
    EXPECT_NEAR(longest, 5.0, 0.01);
}

TEST_F(DemoArchive, EveryTextRecordYieldsItsText)
{
    std::set<size_t> lengthWidths;
    for (const DATEntry* entry : Category(0x31)) {
        const DATFileBytes bytes = Read(*entry);
        std::string text;
        ASSERT_TRUE(GetRecordText(bytes, entry, text)) << std::hex << entry->fileID;
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(TextBeforeZero(text), text);
        lengthWidths.insert(bytes.size() - 4 - text.size());
    }
    EXPECT_EQ(lengthWidths, (std::set<size_t>{1, 2}));
}

TEST_F(DemoArchive, HoldsTheOddFiles)
{
    for (const DATEntry* entry : Category(0x08))
        EXPECT_NE(ReadLE32(Read(*entry).data()), entry->fileID);
    size_t badSimpleObjects = 0;
    for (const DATEntry* entry : Category(0x01))
        badSimpleObjects += ReadLE32(Read(*entry).data()) != entry->fileID;
    EXPECT_EQ(badSimpleObjects, 1u);

    size_t versioned = 0;
    for (const auto& [id, record] : m_archive->FileRecords())
        versioned += record.VersionCount() == 2;
    EXPECT_EQ(versioned, 1u);

    // A chain shorter than its entry's size: the tail reads as zeros.
    size_t shortChains = 0;
    const uint32_t perBlock = demo::kDemoBlockSize - kDATBlockLinkSize;
    for (const auto& [category, list] : m_archive->CategoryLists())
        for (const DATEntry* entry : list) {
            uint32_t blocks = 0;
            for (uint32_t at = entry->offset; at != 0 && blocks <= entry->size / perBlock + 1; ++blocks)
                at = ReadLE32(&m_archive->Data()[at]);
            if (uint64_t(blocks) * perBlock < entry->size) {
                ++shortChains;
                const DATFileBytes bytes = Read(*entry);
                EXPECT_EQ(bytes.back(), 0);
                EXPECT_EQ(ReadLE32(bytes.data()), entry->fileID);
            }
        }
    EXPECT_EQ(shortChains, 1u);
}

} // namespace
} // namespace orvanel
