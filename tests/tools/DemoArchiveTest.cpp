// The sample archive, read back through the core as the viewer reads it: every sound and text
// record usable (its pictures are the PNG export's and the decoder's tests).

#include "tools/demo/DemoArchive.h"

#include "archive/DATArchive.h"
#include "content/FileText.h"
#include "decode/SoundRecord.h"
#include "tests/support/CatalogueFixture.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(DemoArchive, EverySoundAndTextRecordUsable)
{
    const fixture::COpenedArchive opened(demo::WriteDemoArchive);
    CDATArchive& archive = *opened.archive;
    ASSERT_TRUE(archive.BuildCatalogue());

    const auto read = [&](const DATEntry* entry) {
        auto bytes = archive.ReadFile(*entry);
        EXPECT_TRUE(bytes) << std::hex << entry->fileID;
        return bytes.value_or(DATFileBytes {});
    };
    const auto& lists = archive.CategoryLists();
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
