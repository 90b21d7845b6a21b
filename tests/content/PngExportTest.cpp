// Pictures exported as PNG: for every texture format of the sample archive the file holds the
// decoded picture's pixels and its own alpha (no alpha channel for an opaque format), and the
// files that are not pictures come out the same as with BMP; an export by category stops where
// its progress says.

#include "content/CategoryExport.h"
#include "content/FileExport.h"
#include "decode/TextureDecoder.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/PngReadBack.h"
#include "writer/TempDir.h"
#include "tools/demo/DemoArchive.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

class PngExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demo::WriteDemoArchive(m_dir.File("demo.dat")));
        m_archive = std::make_unique<CDATArchive>(m_dir.File("demo.dat"), m_prompts, m_busy);
        ASSERT_TRUE(m_archive->BuildCatalogue());
    }

    // Every file of the archive, exported in format into the folder named name.
    std::filesystem::path ExportAll(const std::string& name, ExportFormat format)
    {
        DATEntryList all;
        for (const auto& [category, list] : m_archive->CategoryLists())
            all.insert(all.end(), list.begin(), list.end());
        const std::filesystem::path out = m_dir.Path() / name;
        std::filesystem::create_directory(out);
        SaveStoredFiles(*m_archive, all, out.string(), {}, format);
        return out;
    }

    fixture::CTempDir m_dir;
    fixture::CFakePrompts m_prompts;
    CNoBusyIndicator m_busy;
    std::unique_ptr<CDATArchive> m_archive;
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
        {kTextureDXT1, false},
        {kTextureDXT3, true},
        {kTextureDXT5, true},
        {kTextureRGBA32, true},
        {kTextureRGB24, false},
        {kTextureRGB24Alt, false},
        {kTextureGrey8, false},
        {kTextureGrey8Alt, false},
        {kTextureJPEG, false},
        {kTextureIndexed8, false},
        {kTextureIndexed16, false},
        {kTextureGrey16, false},
        {kTextureGrey16Alt, false},
    };
    const auto& lists = m_archive->TextureFormatLists();
    for (const auto& c : kFormats) {
        SCOPED_TRACE(c.format);
        ASSERT_TRUE(lists.contains(c.format));
        const DATEntryList& list = lists.at(c.format);
        const std::filesystem::path out = m_dir.Path() / std::to_string(c.format);
        std::filesystem::create_directory(out);
        const ExportResult result = SaveStoredFiles(*m_archive, list, out.string(), {}, ExportFormat::PNG);
        EXPECT_EQ(result.saved, list.size());
        CExportNames names(ExportFormat::PNG);
        for (const DATEntry* entry : list)
            ExpectSamePicture(*m_archive, *entry, out / names.NameFor(*entry), c.ownAlpha);
    }
    // Colour tables are opaque pictures too.
    const DATEntryList& tables = m_archive->CategoryLists().at(kCategoryColourTable);
    const std::filesystem::path out = m_dir.Path() / "tables";
    std::filesystem::create_directory(out);
    EXPECT_EQ(SaveStoredFiles(*m_archive, tables, out.string(), {}, ExportFormat::PNG).saved, tables.size());
    for (const DATEntry* entry : tables)
        ExpectSamePicture(*m_archive, *entry, out / CExportNames(ExportFormat::PNG).NameFor(*entry), false);
}

TEST_F(PngExport, FilesOtherThanPicturesAreTheSameAsWithBmp)
{
    const std::filesystem::path bmp = ExportAll("bmp", ExportFormat::BMP);
    const std::filesystem::path png = ExportAll("png", ExportFormat::PNG);
    size_t pictures = 0, others = 0;
    for (const std::string& name : fixture::FileNamesIn(bmp)) {
        if (name.ends_with(".bmp")) {
            const std::string pngName = name.substr(0, name.size() - 4) + ".png";
            EXPECT_TRUE(fixture::ReadPNG((png / pngName).string()).ok) << pngName;
            EXPECT_FALSE(std::filesystem::exists(png / name)) << name;
            ++pictures;
        } else {
            EXPECT_EQ(fixture::ReadWholeFile(png / name), fixture::ReadWholeFile(bmp / name)) << name;
            ++others;
        }
    }
    EXPECT_EQ(fixture::FileNamesIn(png).size(), pictures + others);
    EXPECT_GT(pictures, 10u);
    EXPECT_GT(others, 10u);
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
    size_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
        written += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(written, result.saved);
}

} // namespace
} // namespace orvanel
