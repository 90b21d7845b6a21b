#include "tests/tools/CliTestSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvanel {
namespace {

using cli_test::RunCli;

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

TEST(CommandLine, LocateWithoutARegistryPrintsEmptyFields)
{
    // What the locator reads from a registry is the archive tests' concern; this is the
    // printed record, run against an empty Wine prefix.
    fixture::CTempDir prefix;
    ::setenv("WINEPREFIX", prefix.Path().c_str(), 1);
    const auto r = RunCli({"locate"});
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "portal path: \nportal directory: \ninstall directory: \nclient portal path: \n"
        "client local path: \nclient high-res path: \nclient cell path: \nfull screen: no\n"
        "default archive: \n");
    EXPECT_EQ(r.err, "");
}

// Twelve sounds and forty DXT1 textures, as written and with a wrong recorded size.
class ListCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<writer::FileSpec> files;
        for (uint32_t i = 0; i < 12; ++i)
            files.push_back({0x0A000020 - i, writer::StoredFile(0x0A000020 - i)});
        for (uint32_t id = 0x06000001; id <= 0x06000028; ++id)
            files.push_back({id, writer::MakeTextureRecord(id, 0, 0, 0x31545844, {})});
        writer::CArchiveBuilder b;
        b.AddFilesAsTree(files, {7, 4});
        ASSERT_TRUE(b.WriteFile(m_dir.File("good.dat")));
        b.SetRecordedSize(1);
        ASSERT_TRUE(b.WriteFile(m_dir.File("improper.dat")));
    }
    fixture::CTempDir m_dir;
};

TEST_F(ListCommand, FilesFollowTheirLineInListOrder)
{
    const auto listed = RunCli({"list", m_dir.File("good.dat"), "--files"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("0A - Sounds (12 files)\n  0A000015 00020000 "), std::string::npos);
    EXPECT_NE(listed.out.find("DXT1 (40 files)\n  06000001 00020000 "), std::string::npos);
    // The last row: the highest sound ID, 4 bytes long.
    const std::string last = listed.out.substr(listed.out.rfind("\n  ") + 1);
    EXPECT_EQ(last.substr(0, 21), "  0A000020 00020000 0");
    EXPECT_EQ(last.substr(last.size() - 3), " 4\n");
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3 + 40 + 40 + 12);
}

TEST_F(ListCommand, ImproperArchiveIsDeclinedUnlessForced)
{
    const auto declined = RunCli({"list", m_dir.File("improper.dat")});
    EXPECT_EQ(declined.status, 1);
    EXPECT_TRUE(declined.out.empty());
    EXPECT_NE(declined.err.find("does not appear to be a proper DAT file"), std::string::npos);

    // Without --files only the selector lines are printed.
    const auto forced = RunCli({"list", "--force", m_dir.File("improper.dat")});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.out,
        "06 - UI Graphics, Textures, etc. (40 files)\n06 - 31545844 - DXT1 (40 files)\n"
        "0A - Sounds (12 files)\n");
}

} // namespace
} // namespace orvanel
