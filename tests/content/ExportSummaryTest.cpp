// What the user is told after an export: the status line with the counts, and the summary that
// names the files not saved (up to ten) with why each was not.

#include "content/CategoryExport.h"
#include "content/FileExport.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvanel {
namespace {

using writer::FileSpec;
using writer::StoredFile;

const std::vector<uint8_t> kPixels(2 * 2 * 3, 0x40);

FileSpec Good(uint32_t id)
{
    return {id, StoredFile(id)};
}
FileSpec BadID(uint32_t id)
{
    return {id, StoredFile(id + 1)};
}

TEST(ExportSummary, NamesTheFilesNotSavedWithTheReasonOfEach)
{
    std::vector<FileSpec> twelveBad;
    for (uint32_t i = 0; i < 12; ++i)
        twelveBad.push_back(BadID(0x02000010 + 2 * i));
    const std::string bad = std::string(kExportSummaryMessage) + "\n\n";
    const struct {
        const char* name;
        std::vector<FileSpec> files;
        bool folderIsAFile;
        std::string summary; // "{F}" stands for the folder
        std::string status;
    } kCases[] = {
        {"all saved", {Good(0x01000001), Good(0x01000002)}, false, "", "Saved 2 files to {F}"},
        {"bad and undecodable",
            {Good(0x01000001), BadID(0x02000002), {0x02000004, {4, 0, 0}},
                {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 0x16, kPixels)}},
            false,
            bad
                + "3 files not saved:\n02000002: bad ID (its first word is 02000003)\n"
                  "02000004: bad ID (too short to hold one)\n06000001: does not decode",
            "Saved 1 file to {F}, 3 not saved"},
        {"folder refuses", {Good(0x01000001), Good(0x01000002)}, true,
            "2 files could not be written to {F}: Not a directory\n\n"
            "2 files not saved:\n01000001: could not be written to {F}: Not a directory\n"
            "01000002: could not be written to {F}: Not a directory",
            "Saved 0 files to {F}, 2 not saved"},
        {"more than ten", twelveBad, false,
            bad
                + "12 files not saved:\n02000010: bad ID (its first word is 02000011)\n"
                  "02000012: bad ID (its first word is 02000013)\n02000014: bad ID (its first word is "
                  "02000015)\n"
                  "02000016: bad ID (its first word is 02000017)\n02000018: bad ID (its first word is "
                  "02000019)\n"
                  "0200001A: bad ID (its first word is 0200001B)\n0200001C: bad ID (its first word is "
                  "0200001D)\n"
                  "0200001E: bad ID (its first word is 0200001F)\n02000020: bad ID (its first word is "
                  "02000021)\n"
                  "02000022: bad ID (its first word is 02000023)\nand 2 more",
            "Saved 0 files to {F}, 12 not saved"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        writer::CArchiveBuilder builder(256);
        builder.AddFilesAsTree(c.files);
        fixture::COpenedArchive opened(builder);
        ASSERT_TRUE(opened.archive->BuildCatalogue());
        const std::filesystem::path folder = opened.dir.Path() / "out";
        if (c.folderIsAFile)
            std::ofstream(folder) << "not a folder";
        else
            std::filesystem::create_directory(folder);
        DATEntryList all;
        for (const auto& [category, list] : opened.archive->CategoryLists())
            all.insert(all.end(), list.begin(), list.end());
        const ExportResult result = SaveStoredFiles(*opened.archive, all, folder.string());
        const auto withFolder = [&](std::string text) {
            for (size_t at; (at = text.find("{F}")) != std::string::npos;)
                text.replace(at, 3, folder.string());
            return text;
        };
        EXPECT_EQ(ExportSummaryText(result, folder.string()), withFolder(c.summary));
        EXPECT_EQ(ExportStatusText(result, folder.string()), withFolder(c.status));
    }
}

TEST(ExportSummary, FolderNamesReplaceOnlyWhatTheFileSystemRefuses)
{
    EXPECT_EQ(FolderNameOf("0A - Sounds"), "0A - Sounds");
    EXPECT_EQ(FolderNameOf("05 - ???"), "05 - ???");
    EXPECT_EQ(FolderNameOf(std::string("a/b\0c: *d", 9)), "a_b_c: *d");
}

} // namespace
} // namespace orvanel
