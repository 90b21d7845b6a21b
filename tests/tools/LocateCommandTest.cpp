#include "tests/support/TempDir.h"
#include "tests/tools/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace orvanel {
namespace {

using cli_test::RunCli;

// Runs orvanel-cli with WINEPREFIX set to an empty prefix of the test's own. What the
// locator reads from a registry is the archive tests' concern; this is the printed record.
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
