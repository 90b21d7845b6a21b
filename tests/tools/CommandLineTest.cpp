// orvanel-cli usage, version, and the commands that only read archives: list and diff.
#include "tests/tools/CliTestSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace orvanel {
namespace {

using cli_test::RunCli;
using cli_test::WriteArchive;
using writer::CArchiveBuilder;
using writer::FileSpec;
using writer::StoredFile;

TEST(CommandLine, WrongUsageExitsWithTwoBeforeAnyArchiveIsRead)
{
    // No archive "a" exists: reaching it would exit with 1, not 2.
    const std::vector<std::vector<std::string>> cases = {{}, {"frobnicate"},
        {"--files", "list", "a"}, // options come after the command
        {"list"}, {"list", "a", "b"}, {"list", "--bogus", "a"},
        {"list", "-"}, // archives are mapped: standard input cannot stand in for one
        {"info", "a"}, {"info", "a", "xyz"}, {"info", "a", "123456789"}, {"info", "-", "1"}, {"export", "a"},
        {"export", "a", "-"}, {"export", "a", "out", "--line"}, {"export", "a", "out", "--line", "-1"},
        {"export", "a", "out", "--line", "1", "31000001"}, {"locate", "extra"}};
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, 2) << joined << r.err;
        EXPECT_FALSE(r.err.empty()) << joined;
    }
}

TEST(CommandLine, HelpAndVersion)
{
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("3 (info) the file cannot be shown"), std::string::npos);
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "orvanel-cli " ORVANEL_VERSION "\n");
}

// A texture of 24 bytes whose pixel-format code is format.
FileSpec Texture(uint32_t id, uint32_t format)
{
    return {id, writer::MakeTextureRecord(id, 0, 0, format, {})};
}

// A file of size bytes (ID included) whose byte at flip, if given, is changed.
FileSpec Raw(uint32_t id, size_t size, size_t flip = 0, uint32_t version = kDATVersionLive2)
{
    std::vector<uint8_t> payload(size - 4);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t(i * 7);
    if (flip >= 4)
        payload[flip - 4] ^= 0x5A;
    return {id, StoredFile(id, payload), version};
}

// Twelve sounds and forty DXT1 textures, as written or with a wrong recorded size.
std::string WriteListed(const fixture::CTempDir& dir, const std::string& name, bool improper = false)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 12; ++i)
        files.push_back({0x0A000020 - i, StoredFile(0x0A000020 - i)});
    for (uint32_t id = 0x06000001; id <= 0x06000028; ++id)
        files.push_back(Texture(id, 0x31545844));
    return WriteArchive(dir, name, files, {7, 4}, [improper](CArchiveBuilder& b) {
        if (improper)
            b.SetRecordedSize(1);
    });
}

TEST(ListCommand, FilesFollowTheirLineInListOrder)
{
    fixture::CTempDir dir;
    const auto listed = RunCli({"list", WriteListed(dir, "good.dat"), "--files"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("0A - Sounds (12 files)\n  0A000015 00020000 "), std::string::npos);
    EXPECT_NE(listed.out.find("DXT1 (40 files)\n  06000001 00020000 "), std::string::npos);
    // The last row: the highest sound ID, 4 bytes long.
    const std::string last = listed.out.substr(listed.out.rfind("\n  ") + 1);
    EXPECT_EQ(last.substr(0, 21), "  0A000020 00020000 0");
    EXPECT_EQ(last.substr(last.size() - 3), " 4\n");
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3 + 40 + 40 + 12);
}

TEST(ListCommand, ImproperArchiveIsDeclinedUnlessForced)
{
    fixture::CTempDir dir;
    const std::string improper = WriteListed(dir, "improper.dat", true);
    const auto declined = RunCli({"list", improper});
    EXPECT_EQ(declined.status, 1);
    EXPECT_TRUE(declined.out.empty());
    EXPECT_NE(declined.err.find("does not appear to be a proper DAT file"), std::string::npos);

    // Without --files only the selector lines are printed.
    const auto forced = RunCli({"list", "--force", improper});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.out,
        "06 - UI Graphics, Textures, etc. (40 files)\n06 - 31545844 - DXT1 (40 files)\n"
        "0A - Sounds (12 files)\n");
}

TEST(DiffCommand, PrintsEachDifferingFileThenTheCounts)
{
    const std::vector<FileSpec> base = {
        Raw(0x01000001, 300), Texture(0x06000042, 0x1C), Raw(0x0A000007, 200), Raw(0x08000001, 100)};
    const struct {
        const char* name;
        std::vector<FileSpec> oldFiles;
        std::vector<FileSpec> newFiles;
        writer::TreeShape newShape;
        std::function<void(CArchiveBuilder&)> damageNew;
        std::string out;
        int status;
    } cases[] = {
        // Laid out in another order and another tree: offsets do not count.
        {"identical", base, {base[3], base[2], base[1], base[0]}, {1, 2}, {},
            "0 added, 0 removed, 0 changed, 4 unchanged\n", 0},
        {"added removed changed", base,
            {Texture(0x06001234, 0x31545844), base[0], Raw(0x0A000007, 244), base[3], Raw(0x31000001, 40)},
            {}, {},
            "removed 06000042  24 bytes  06 - 0000001C - 8bit\n"
            "added   06001234  24 bytes  06 - 31545844 - DXT1\n"
            "changed 0A000007  200 -> 244 bytes  0A - Sounds\n"
            "added   31000001  40 bytes  31 - Help\n"
            "2 added, 1 removed, 1 changed, 2 unchanged\n",
            1},
        // Only the last byte differs, in the second block; category 0x08 compares like any other.
        {"changed of equal size", base, {base[0], base[1], base[2], Raw(0x08000001, 100, 99)}, {}, {},
            "changed 08000001  100 -> 100 bytes  08 - ???\n"
            "0 added, 0 removed, 1 changed, 3 unchanged\n",
            1},
        // Version 0 is the lowest entry key: the 0x20000 entry, whichever the walk meets first.
        {"several versions", {Raw(0x01000001, 300), Raw(0x01000002, 80)},
            {Raw(0x01000001, 300, 10, kDATVersionLive3), Raw(0x01000001, 300),
                Raw(0x01000002, 80, 0, kDATVersionLive3), Raw(0x01000002, 80, 50)},
            {}, {},
            "changed 01000002  80 -> 80 bytes  01 - Simple Objects\n"
            "0 added, 0 removed, 1 changed, 1 unchanged\n",
            1},
        // No stored file of the new archive can be read: none of them can be the same.
        {"damaged new archive", base, base, {}, [](CArchiveBuilder& b) { b.SetHeaderBlockSize(2); },
            "changed 01000001  300 -> 300 bytes  01 - Simple Objects\n"
            "changed 06000042  24 -> 24 bytes  06 - UI Graphics, Textures, etc.\n"
            "changed 08000001  100 -> 100 bytes  08 - ???\n"
            "changed 0A000007  200 -> 200 bytes  0A - Sounds\n"
            "0 added, 0 removed, 4 changed, 0 unchanged\n",
            1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture::CTempDir dir;
        const auto r = RunCli({"diff", WriteArchive(dir, "old.dat", c.oldFiles),
            WriteArchive(dir, "new.dat", c.newFiles, c.newShape, c.damageNew)});
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.status, c.status) << r.err;
    }
}

TEST(DiffCommand, ArchiveThatCannotBeReadIsTrouble)
{
    fixture::CTempDir dir;
    const std::string good = WriteArchive(dir, "good.dat", {Raw(0x01000001, 30)});
    const std::string improper = WriteArchive(
        dir, "improper.dat", {Raw(0x01000001, 30)}, {}, [](CArchiveBuilder& b) { b.SetRecordedSize(1); });
    for (const auto& args : std::vector<std::vector<std::string>> {{"diff", good, dir.File("missing.dat")},
             {"diff", dir.File("missing.dat"), good}, {"diff", good, improper}, {"diff", good}}) {
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(RunCli({"diff", dir.File("missing.dat"), good}).err, "Unable to load file.\nNo such file\n");
    // As list does, --force answers the improper-archive question with Yes.
    EXPECT_EQ(RunCli({"diff", "--force", good, improper}).status, 0);
}

} // namespace
} // namespace orvanel
