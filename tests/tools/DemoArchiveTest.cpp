// The sample archive, read back through the core as the viewer reads it: every category and
// texture-format line with its count, and every picture, sound and text record usable.

#include "tools/demo/DemoArchive.h"

#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "content/FileText.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"
#include "tests/support/CatalogueFixture.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(DemoArchive, EveryLineListedAndEveryRecordUsable)
{
    const fixture::COpenedArchive opened(demo::WriteDemoArchive);
    CDATArchive& archive = *opened.archive;
    ASSERT_TRUE(archive.BuildCatalogue());

    fixture::CRecordingSelector selector;
    archive.FillCategoryList(selector);
    const std::vector<std::string> expected = {"01 - Simple Objects (3 files)",
        "02 - Complex Objects (comprised of simple objects) (3 files)", "03 - Animations (2 files)",
        "04 - Color LookUp Tables (4 files)", "05 - ??? (3 files)",
        "06 - UI Graphics, Textures, etc. (15 files)", "06 - 00000014 - 24bit (1 files)",
        "06 - 00000015 - 32bit (1 files)", "06 - 00000016 - ??? (1 files)",
        "06 - 00000017 - 16bit Greyscale (1 files)", "06 - 0000001A - 16bit Greyscale (1 files)",
        "06 - 0000001C - 8bit (1 files)", "06 - 00000029 - 8bit Indexed (2 files)",
        "06 - 00000065 - 16bit Indexed (1 files)", "06 - 000000F3 - 24bit (1 files)",
        "06 - 000000F4 - 8bit (1 files)", "06 - 000001F4 - JPEG (1 files)", "06 - 31545844 - DXT1 (1 files)",
        "06 - 33545844 - DXT3 (1 files)", "06 - 35545844 - DXT5 (1 files)", "08 - ??? (2 files)",
        "0A - Sounds (6 files)", "0D - Dungeon Blocks (2 files)",
        "0E - Emotes, Skills, Creation, Quest Timers, etc. (1 files)",
        "0F - Lists of Color LookUp Tables (1 files)", "13 - Calendar, Ambient Config, etc. (1 files)",
        "22 - Datatypes, Enums, Commands, etc. (1 files)", "25 - GUI Layout (1 files)",
        "27 - Components, Gems, Materials, etc. (1 files)", "31 - Help (3 files)"};
    EXPECT_EQ(selector.lines, expected);

    const auto read = [&](const DATEntry* entry) {
        auto bytes = archive.ReadFile(*entry);
        EXPECT_TRUE(bytes) << std::hex << entry->fileID;
        return bytes.value_or(DATFileBytes {});
    };
    const auto& lists = archive.CategoryLists();
    for (uint8_t category : {kCategoryColourTable, kCategoryTexture})
        for (const DATEntry* entry : lists.at(category)) {
            const DATFileBytes bytes = read(entry);
            const bool unknown =
                category == kCategoryTexture && bytes.size() >= 20 && ReadLE32(&bytes[16]) == 0x16;
            CDibImage colour, grey;
            float scale = 0;
            uint32_t noteKind = 0, noteFileID = 0;
            EXPECT_EQ(
                DecodeImage(archive, bytes, *entry, colour, grey, scale, noteKind, noteFileID), !unknown)
                << std::hex << entry->fileID;
            EXPECT_EQ(colour.IsValid() && grey.IsValid(), !unknown) << std::hex << entry->fileID;
        }
    for (const DATEntry* entry : lists.at(0x0A)) {
        CWaveSound sound;
        LoadSoundRecord(read(entry), *entry, sound);
        EXPECT_GT(sound.GetSampleCount(), 0u) << std::hex << entry->fileID;
    }
    for (const DATEntry* entry : lists.at(0x31)) {
        std::string text;
        EXPECT_TRUE(GetRecordText(read(entry), entry, text) && !text.empty()) << std::hex << entry->fileID;
    }
}

} // namespace
} // namespace orvanel
