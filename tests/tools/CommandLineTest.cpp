#include "writer/TempDir.h"
#include "tests/tools/CliTestSupport.h"

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

} // namespace
} // namespace orvanel
