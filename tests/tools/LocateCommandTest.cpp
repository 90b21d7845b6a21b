#include "tests/support/TempDir.h"
#include "tests/tools/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace orvanel {
namespace {

using cli_test::RunCli;
namespace fs = std::filesystem;

// Runs orvanel-cli with WINEPREFIX set to a prefix of the test's own.
class LocateCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* saved = std::getenv("WINEPREFIX");
        m_saved = saved ? std::optional<std::string>(saved) : std::nullopt;
        ::setenv("WINEPREFIX", m_prefix.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_saved)
            ::setenv("WINEPREFIX", m_saved->c_str(), 1);
        else
            ::unsetenv("WINEPREFIX");
    }
    fixture::CTempDir m_prefix;
    std::optional<std::string> m_saved;
};

TEST_F(LocateCommand, PrintsTheRecordAndTheArchiveDefaultOpens)
{
    fs::create_directories(m_prefix.Path() / "drive_c" / "Games" / "Tarnwick");
    fs::create_directories(m_prefix.Path() / "dosdevices");
    fs::create_directory_symlink("../drive_c", m_prefix.Path() / "dosdevices" / "c:");
    std::ofstream(m_prefix.File("system.reg"))
        << "WINE REGISTRY Version 2\n#arch=win64\n\n"
           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00] 1\n"
           "\"Portal Dat\"=\"D:\\\\Data\"\n"
           "\"FullScreen\"=dword:00000001\n"
           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\T] 1\n"
           "\"DisplayName\"=\"Tarnwick: Emberfall\"\n"
           "\"Publisher\"=\"Quellspire\"\n"
           "\"InstallLocation\"=\"C:\\\\GAMES\\\\TARNWICK\"\n";
    const std::string driveC = fs::canonical(m_prefix.Path() / "drive_c").string();

    const auto r = RunCli({"locate"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "portal path: D:\\Data\\portal.dat\n"
        "portal directory: D:\\Data\\\n"
        "install directory: C:\\GAMES\\TARNWICK\\\n"
        "client portal path: C:\\GAMES\\TARNWICK\\client_portal.dat\n"
        "client local path: C:\\GAMES\\TARNWICK\\client_local_English.dat\n"
        "client high-res path: C:\\GAMES\\TARNWICK\\client_highres.dat\n"
        "client cell path: C:\\GAMES\\TARNWICK\\client_cell_1.dat\n"
        "full screen: yes\n"
        "default archive: " + driveC + "/Games/Tarnwick/client_portal.dat\n");
}

TEST_F(LocateCommand, NoRegistryPrintsEmptyFields)
{
    const auto r = RunCli({"locate"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "portal path: \nportal directory: \ninstall directory: \nclient portal path: \n"
        "client local path: \nclient high-res path: \nclient cell path: \nfull screen: no\n"
        "default archive: \n");
    EXPECT_EQ(r.err, "");
}

} // namespace
} // namespace orvanel
