// Pictures exported as PNG: for every texture format of the sample archive the file holds the
// decoded picture's pixels and its own alpha (no alpha channel for an opaque format); an export
// by category stops where its progress says and writes nothing through a link planted in a
// sub-folder's place.

#include "content/CategoryExport.h"
#include "content/FileExport.h"
#include "decode/TextureDecoder.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/PngReadBack.h"
#include "tools/demo/DemoArchive.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

class PngExport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_archive->BuildCatalogue()); }

    const fixture::COpenedArchive m_opened {demo::WriteDemoArchive};
    const fixture::CTempDir& m_dir = m_opened.dir;
    CDATArchive* m_archive = m_opened.archive.get();
};

// Compares the PNG file at path with the decoded picture of entry and its own alpha.
void ExpectSamePicture(
    const CDATArchive& archive, const DATEntry& entry, const std::filesystem::path& path, bool ownAlpha)
{
    const auto bytes = archive.ReadFile(entry);
    ASSERT_TRUE(bytes);
    DecodedPicture picture;
    ASSERT_TRUE(DecodePicture(archive, *bytes, entry, {.grey = false, .ownAlpha = true}, picture));
    const fixture::PngReadBack png = fixture::ReadPNG(path.string());
    ASSERT_TRUE(png.ok) << path;
    EXPECT_EQ(png.HasAlpha(), ownAlpha) << path;
    EXPECT_EQ(!picture.alpha.empty(), ownAlpha) << path;
    // 8-bit grey pictures stay grey.
    EXPECT_EQ((png.fileFormat & PNG_FORMAT_FLAG_COLOR) == 0, picture.colour.GetBpp() == 8) << path;
    ASSERT_EQ(png.width, picture.colour.GetWidth());
    ASSERT_EQ(png.height, picture.colour.GetHeight());
    for (uint32_t y = 0; y < png.height; ++y)
        for (uint32_t x = 0; x < png.width; ++x) {
            const uint8_t* p = &png.rgba[(size_t(y) * png.width + x) * 4];
            ASSERT_EQ(uint32_t(p[0] << 16 | p[1] << 8 | p[2]), test::PixelFromTop(picture.colour, x, y))
                << path << " " << x << "," << y;
            const uint8_t alpha = ownAlpha ? picture.alpha[size_t(png.height - 1 - y) * png.width + x] : 255;
            ASSERT_EQ(p[3], alpha) << path << " " << x << "," << y;
        }
}

TEST_F(PngExport, EveryTextureFormatKeepsItsPixelsAndOnlyItsOwnAlpha)
{
    const struct {
        uint32_t format;
        bool ownAlpha;
    } kFormats[] = {
        {kTextureDXT1, false}, {kTextureDXT3, true}, {kTextureDXT5, true}, {kTextureRGBA32, true},
        {kTextureRGB24, false}, {kTextureRGB24Alt, false}, {kTextureGrey8, false}, {kTextureGrey8Alt, false},
        {kTextureJPEG, false}, {kTextureIndexed8, false}, {kTextureIndexed16, false}, {kTextureGrey16, false},
        {kTextureGrey16Alt, false}, {0, false}, // the colour tables: opaque pictures too
    };
    const auto& lists = m_archive->TextureFormatLists();
    for (const auto& c : kFormats) {
        SCOPED_TRACE(c.format);
        ASSERT_TRUE(c.format == 0 || lists.contains(c.format));
        const DATEntryList& list =
            c.format ? lists.at(c.format) : m_archive->CategoryLists().at(kCategoryColourTable);
        const std::filesystem::path out = m_dir.Path() / std::to_string(c.format);
        std::filesystem::create_directory(out);
        const ExportResult result = SaveStoredFiles(*m_archive, list, out.string(), {}, ExportFormat::PNG);
        EXPECT_EQ(result.saved, list.size());
        CExportNames names(ExportFormat::PNG);
        for (const DATEntry* entry : list)
            ExpectSamePicture(*m_archive, *entry, out / names.NameFor(*entry), c.ownAlpha);
    }
}

TEST_F(PngExport, ByCategoryStopsWhereProgressSays)
{
    const std::filesystem::path out = m_dir.Path() / "stopped";
    std::filesystem::create_directory(out);
    size_t last = 0, total = 0;
    const ExportResult result = SaveByCategory(
        *m_archive, out.string(),
        [&](size_t done, size_t all) {
            last = done;
            total = all;
            return done < 7;
        },
        ExportFormat::PNG);
    EXPECT_EQ(last, 7u);
    EXPECT_GT(total, 7u);
    EXPECT_EQ(result.saved + result.Failed(), 7u);
    EXPECT_EQ(result.notReached, total - 7u);
    size_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
        written += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(written, result.saved);
}

// Someone who can write to the chosen folder puts a link to another folder, and a file, where
// two sub-folders go: their files are refused, nothing reaches the link's target, and both
// entries stay as they were.
TEST_F(PngExport, ByCategoryWritesNothingThroughWhatTakesASubFoldersPlace)
{
    const std::filesystem::path out = m_dir.Path() / "planted", elsewhere = m_dir.Path() / "elsewhere";
    std::filesystem::create_directory(out);
    std::filesystem::create_directory(elsewhere);
    std::filesystem::create_directory_symlink(elsewhere, out / "0A - Sounds");
    ASSERT_TRUE(writer::WriteWholeFile(out / "05 - ???", {}));
    size_t refused = 0;
    for (const ExportGroup& group : CategoryFolders(*m_archive)) {
        if (group.folderName == "0A - Sounds" || group.folderName == "05 - ???")
            refused += group.entries.size();
    }
    ASSERT_GT(refused, 1u);

    const ExportResult result = SaveByCategory(*m_archive, out.string());
    EXPECT_EQ(result.notWritten, refused);
    EXPECT_NE(result.reason.find("Not a directory"), std::string::npos) << result.reason;
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
    EXPECT_TRUE(std::filesystem::is_symlink(out / "0A - Sounds"));
    EXPECT_TRUE(std::filesystem::is_regular_file(out / "05 - ???"));
    EXPECT_EQ(std::filesystem::file_size(out / "05 - ???"), 0u);
    size_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
        written += entry.is_regular_file() && entry.path().parent_path() != out ? 1 : 0;
    EXPECT_GT(result.saved, 0u);
    EXPECT_EQ(written, result.saved);
}

} // namespace
} // namespace orvanel
