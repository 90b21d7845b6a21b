// orvanel-cli export and diff --export with --format png, and export --by-category: the names
// and counts of what is written, and the exit status.

#include "tests/support/PngReadBack.h"
#include "tests/tools/CliTestSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace orvanel {
namespace {

using cli_test::RunCli;
using writer::FileSpec;
using writer::StoredFile;

const std::vector<uint8_t> kRGB(2 * 2 * 3, 0x40);
const std::vector<uint8_t> kRGBA(2 * 2 * 4, 0x80);

std::vector<FileSpec> Files()
{
    return {
        {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 20, kRGB)},
        {0x06000002, writer::MakeTextureRecord(0x06000002, 2, 2, 21, kRGBA)},
        {0x06000003, writer::MakeTextureRecord(0x06000003, 2, 2, 21, kRGBA)},
        {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 8000, 8), kRGB)},
        {0x05000001, StoredFile(0x05000001)},
        {0x01000001, StoredFile(0x01000001)},
    };
}

std::string Write(const fixture::CTempDir& dir, const std::string& name, const std::vector<FileSpec>& files)
{
    writer::CArchiveBuilder b(256);
    b.AddFilesAsTree(files);
    const std::string path = dir.File(name);
    EXPECT_TRUE(b.WriteFile(path));
    return path;
}

TEST(ExportFormat, PngWritesPicturesAsPngAndEverythingElseAsBefore)
{
    fixture::CTempDir dir;
    const std::string archive = Write(dir, "a.dat", Files());
    const struct {
        std::vector<std::string> format;
        int status;
        std::vector<std::string> names;
    } kCases[] = {
        {{}, 0,
            {"01000001.bin", "05000001.bin", "06000001.bmp", "06000002.bmp", "06000003.bmp", "0A000001.wav"}},
        {{"--format", "bmp"}, 0,
            {"01000001.bin", "05000001.bin", "06000001.bmp", "06000002.bmp", "06000003.bmp", "0A000001.wav"}},
        {{"--format", "png"}, 0,
            {"01000001.bin", "05000001.bin", "06000001.png", "06000002.png", "06000003.png", "0A000001.wav"}},
        {{"--format", "gif"}, 2, {}},
    };
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const auto& c = kCases[i];
        const std::string out = dir.File("out" + std::to_string(i));
        std::vector<std::string> args {"export", archive, out};
        args.insert(args.end(), c.format.begin(), c.format.end());
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, c.status) << i << r.err;
        if (c.status == 0)
            EXPECT_EQ(fixture::FileNamesIn(out), c.names) << i;
        else
            EXPECT_FALSE(std::filesystem::exists(out)) << i;
    }
    // The 32-bit texture keeps its alpha, the 24-bit one has none.
    EXPECT_TRUE(fixture::ReadPNG(dir.File("out2/06000002.png")).HasAlpha());
    EXPECT_FALSE(fixture::ReadPNG(dir.File("out2/06000001.png")).HasAlpha());
    EXPECT_EQ(fixture::ReadPNG(dir.File("out2/06000002.png")).rgba[3], 0x80);
    EXPECT_NE(RunCli({"export", "--help"}).out.find("(default: bmp)"), std::string::npos);
}

TEST(ExportFormat, ByCategoryWritesEachFileIntoItsLinesFolder)
{
    fixture::CTempDir dir;
    auto files = Files();
    files.push_back({0x05000002, StoredFile(0x05000003)}); // bad: counted, not written
    files.push_back(
        {0x01000001, StoredFile(0x01000001, std::vector<uint8_t> {1}), 0x30000}); // a second version
    const std::string archive = Write(dir, "a.dat", files);
    const std::string out = dir.File("out");
    const auto r = RunCli({"export", archive, out, "--by-category", "--format", "png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("05000002: bad ID (its first word is 05000003)"), std::string::npos) << r.err;

    std::map<std::string, std::vector<std::string>> written;
    for (const std::string& folder : fixture::FileNamesIn(out))
        written[folder] = fixture::FileNamesIn(dir.Path() / "out" / folder);
    const std::map<std::string, std::vector<std::string>> expected = {
        {"01 - Simple Objects", {"01000001-v00020000.bin", "01000001.bin"}},
        {"05 - ???", {"05000001.bin"}},
        {"06 - 00000014 - 24bit", {"06000001.png"}},
        {"06 - 00000015 - 32bit", {"06000002.png", "06000003.png"}},
        {"0A - Sounds", {"0A000001.wav"}},
    };
    EXPECT_EQ(written, expected);

    // The same with good files only succeeds; IDs or a line cannot go with it.
    const std::string good = Write(dir, "good.dat", Files());
    EXPECT_EQ(RunCli({"export", good, dir.File("out2"), "--by-category"}).status, 0);
    EXPECT_EQ(fixture::FileNamesIn(dir.Path() / "out2" / "06 - 00000015 - 32bit"),
        (std::vector<std::string> {"06000002.bmp", "06000003.bmp"}));
    EXPECT_EQ(RunCli({"export", good, dir.File("out3"), "--by-category", "06000001"}).status, 2);
    EXPECT_EQ(RunCli({"export", good, dir.File("out3"), "--by-category", "--line", "1"}).status, 2);
}

TEST(ExportFormat, DiffExportsAddedAndChangedFilesInTheFormatAsked)
{
    fixture::CTempDir dir;
    const auto files = Files();
    // 06000002 changed, 05000001 and 06000001 the same, 01000009 removed, the others added.
    const std::string oldArchive = Write(dir, "old.dat",
        {files[0], {0x06000002, writer::MakeTextureRecord(0x06000002, 2, 2, 21, std::vector<uint8_t>(16, 1))},
            files[4], {0x01000009, StoredFile(0x01000009)}});
    const std::string newArchive = Write(dir, "new.dat", files);
    const auto r = RunCli({"diff", oldArchive, newArchive, "--export", dir.File("out"), "--format", "png"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(fixture::FileNamesIn(dir.Path() / "out"),
        (std::vector<std::string> {"01000001.bin", "06000002.png", "06000003.png", "0A000001.wav"}));
    EXPECT_EQ(RunCli({"diff", oldArchive, newArchive, "--format", "png"}).status, 2); // no --export
}

} // namespace
} // namespace orvanel
