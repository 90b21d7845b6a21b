#include "archive/InstallLocator.h"
#include "platform/WineRegistry.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvanel {
namespace {

const std::string kGameKey = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00] 1\n";

// A registry value line holding text as a string, backslashes escaped as Wine writes them.
std::string Value(const std::string& name, const std::string& text)
{
    std::string escaped;
    for (char c : text)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + name + "\"=\"" + escaped + "\"\n";
}

struct Entry {
    std::string name, displayName, publisher;
    std::optional<std::string> location;
};

// Uninstall entries under their keys, in the order their subkeys enumerate in.
std::string Entries(const std::vector<Entry>& entries)
{
    std::string text;
    for (const Entry& e : entries) {
        text += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\" + e.name + "] 1\n"
            + Value("DisplayName", e.displayName) + Value("Publisher", e.publisher);
        if (e.location)
            text += Value("InstallLocation", *e.location);
    }
    return text;
}

// What the locator finds in a registry of the given keys, with nothing from any prefix.
DATInstallInfo Locate(const std::string& keys)
{
    CWineRegistry registry {std::filesystem::path()};
    EXPECT_TRUE(registry.Load("WINE REGISTRY Version 2\n" + keys));
    return DATInstallInfo(registry);
}

TEST(InstallLocator, DirectoriesGetOneTrailingBackslashAndFullScreenNeedsANonZeroDword)
{
    for (const std::string value : {"C:\\Games\\Tarnwick", "C:\\Games\\Tarnwick\\"}) {
        const DATInstallInfo info(Locate(kGameKey + Value("Portal Dat", value)
            + Entries({{"{5A1C}", "Tarnwick: Emberfall", "Quellspire", value}})));
        EXPECT_EQ(info.portalDirectory, "C:\\Games\\Tarnwick\\") << value;
        EXPECT_EQ(info.portalPath, "C:\\Games\\Tarnwick\\portal.dat");
        EXPECT_EQ(info.installDirectory, "C:\\Games\\Tarnwick\\");
        EXPECT_EQ(info.clientPortalPath, "C:\\Games\\Tarnwick\\client_portal.dat");
        EXPECT_EQ(info.clientLocalPath, "C:\\Games\\Tarnwick\\client_local_English.dat");
        EXPECT_EQ(info.clientHighResPath, "C:\\Games\\Tarnwick\\client_highres.dat");
        EXPECT_EQ(info.clientCellPath, "C:\\Games\\Tarnwick\\client_cell_1.dat");
    }
    // Full screen only from a non-zero DWORD.
    const std::pair<const char*, bool> cases[] = {{"hex(4):01,00,00,00", true}, {"hex(4):00,01,00,00", true},
        {"hex(4):00,00,00,00", false}, {"hex(1):31,32,33,00", false}, {"hex(3):01,00,00,00", false},
        {"hex(4):01", false}, {"hex(4):01,00,00,00,00", false}};
    for (const auto& [data, expected] : cases)
        EXPECT_EQ(Locate(kGameKey + "\"fullscreen\"=" + data + "\n").fullScreen, expected) << data;
}

TEST(InstallLocator, FirstEntryOfTheGameInEnumerationOrderWins)
{
    const std::string game = "Tarnwick: Emberfall", publisher = "Quellspire";
    const struct {
        std::vector<Entry> entries;
        std::string expected;
    } cases[] = {
        {{{"Other", "Other Game", publisher, "C:\\O"}, {"Zeta", game, publisher, "C:\\First"},
             {"Alpha", game, publisher, "C:\\Second"}},
            "C:\\First\\"},
        // A match without a location ends the search all the same.
        {{{"NoLocation", game, publisher, std::nullopt}, {"Later", game, publisher, "C:\\Later"}}, ""},
        {{{"A", game, "quellspire", "C:\\A"}, {"B", "TARNWICK: EMBERFALL", publisher, "C:\\B"},
             {"C", game + " ", publisher, "C:\\C"}, {"E", game, publisher, "C:\\E"}},
            "C:\\E\\"},
        // An empty location names no directory (it would become the root of the drive).
        {{{"Empty", game, publisher, ""}}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        const DATInstallInfo info(Locate(Entries(c.entries)));
        EXPECT_EQ(info.installDirectory, c.expected);
        EXPECT_EQ(info.clientPortalPath, c.expected.empty() ? "" : c.expected + "client_portal.dat");
        EXPECT_EQ(info.portalPath, "");
    }
}

TEST(InstallLocator, QueryRegStringChecksTypeTerminatorAndSize)
{
    CWineRegistry registry {std::filesystem::path()};
    ASSERT_TRUE(registry.Load("WINE REGISTRY Version 2\n[K] 1\n" + Value("text", "abc")
        + "\"expand\"=str(2):\"%TEMP%\"\n" // taken as it stands
        + "\"empty\"=hex(1):\n\"unterminated\"=hex(1):61,62\n\"number\"=dword:00000007\n"
        + Value("long", std::string(kRegStringBufferSize, 'x'))));
    const struct {
        const char* name;
        RegResult result;
        std::string text;
        uint32_t size;
    } cases[] = {{"text", kRegSuccess, "abc", 4}, {"expand", kRegSuccess, "%TEMP%", 7},
        {"empty", kRegSuccess, "", 0}, {"unterminated", kRegInvalidData, "", 0},
        {"number", kRegInvalidData, "", 0}, {"long", kRegMoreData, "", 0}, {"missing", kRegNotFound, "", 0}};
    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey("k", key), kRegSuccess);
    for (const auto& c : cases) {
        char buffer[kRegStringBufferSize];
        std::fill(std::begin(buffer), std::end(buffer), '?');
        uint32_t size = sizeof buffer;
        EXPECT_EQ(QueryRegString(registry, key, c.name, buffer, size), c.result) << c.name;
        if (c.result == kRegSuccess) {
            EXPECT_EQ(buffer, c.text);
            EXPECT_EQ(size, c.size);
        }
    }
}

} // namespace
} // namespace orvanel
