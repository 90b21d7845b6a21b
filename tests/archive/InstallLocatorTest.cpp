#include "archive/InstallLocator.h"
#include "platform/WineRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace orvanel {
namespace {

const std::string kGameKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Tarnwick\\1.00";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The text of a Wine registry holding the values given, each under its key, the keys in the
// order first given (the order their subkeys enumerate in).
class CRegistryText {
public:
    void Set(const std::string& key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data)
    {
        auto at = std::find_if(m_keys.begin(), m_keys.end(), [&](const auto& k) { return k.first == key; });
        if (at == m_keys.end())
            at = m_keys.insert(m_keys.end(), {key, ""});
        at->second += "\"" + name + "\"=hex(" + std::to_string(type) + "):";
        for (size_t i = 0; i < data.size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", data[i]);
            at->second += hex;
        }
        at->second += "\n";
    }
    void SetString(const std::string& key, const std::string& name, const std::string& text,
        uint32_t type = kRegSz)
    {
        Set(key, name, type, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
    }
    void LoadInto(CWineRegistry& registry) const
    {
        std::string text = "WINE REGISTRY Version 2\n";
        for (const auto& [key, values] : m_keys) {
            text += "[";
            for (char c : key)
                text += c == '\\' ? "\\\\" : std::string(1, c);
            text += "] 1\n" + values;
        }
        ASSERT_TRUE(registry.Load(text));
    }

private:
    std::vector<std::pair<std::string, std::string>> m_keys;
};

// A registry with nothing in it until LoadInto fills it.
CWineRegistry EmptyRegistry()
{
    return CWineRegistry(std::filesystem::path());
}

struct Entry {
    std::string name, displayName, publisher;
    std::optional<std::string> location;
};

void AddEntries(CRegistryText& registry, const std::vector<Entry>& entries)
{
    for (const Entry& e : entries) {
        registry.SetString(kUninstallKey + "\\" + e.name, "DisplayName", e.displayName);
        registry.SetString(kUninstallKey + "\\" + e.name, "Publisher", e.publisher);
        if (e.location)
            registry.SetString(kUninstallKey + "\\" + e.name, "InstallLocation", *e.location);
    }
}

TEST(InstallLocator, DirectoriesGetExactlyOneTrailingBackslash)
{
    for (const std::string value : {"C:\\Games\\Tarnwick", "C:\\Games\\Tarnwick\\"}) {
        CRegistryText text;
        text.SetString(kGameKey, "Portal Dat", value);
        AddEntries(text, {{"{5A1C}", "Tarnwick: Emberfall", "Quellspire", value}});
        CWineRegistry registry = EmptyRegistry();
        text.LoadInto(registry);
        const DATInstallInfo info(registry);
        EXPECT_EQ(info.portalDirectory, "C:\\Games\\Tarnwick\\") << value;
        EXPECT_EQ(info.portalPath, "C:\\Games\\Tarnwick\\portal.dat");
        EXPECT_EQ(info.installDirectory, "C:\\Games\\Tarnwick\\");
        EXPECT_EQ(info.clientPortalPath, "C:\\Games\\Tarnwick\\client_portal.dat");
        EXPECT_EQ(info.clientLocalPath, "C:\\Games\\Tarnwick\\client_local_English.dat");
        EXPECT_EQ(info.clientHighResPath, "C:\\Games\\Tarnwick\\client_highres.dat");
        EXPECT_EQ(info.clientCellPath, "C:\\Games\\Tarnwick\\client_cell_1.dat");
    }
}

TEST(InstallLocator, FirstEntryOfTheGameInEnumerationOrderWins)
{
    const std::string game = "Tarnwick: Emberfall", publisher = "Quellspire";
    const struct {
        std::vector<Entry> entries;
        std::string expected;
    } cases[] = {
        {{{"Other", "Other Game", publisher, "C:\\O"}, {"Zeta", game, publisher, "C:\\First"},
             {"Alpha", game, publisher, "C:\\Second"}}, "C:\\First\\"},
        // A match without a location ends the search all the same.
        {{{"NoLocation", game, publisher, std::nullopt}, {"Later", game, publisher, "C:\\Later"}}, ""},
        {{{"A", game, "quellspire", "C:\\A"}, {"B", "TARNWICK: EMBERFALL", publisher, "C:\\B"},
             {"C", game + " ", publisher, "C:\\C"}, {"E", game, publisher, "C:\\E"}}, "C:\\E\\"},
        // An empty location names no directory (it would become the root of the drive).
        {{{"Empty", game, publisher, ""}}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        CRegistryText text;
        AddEntries(text, c.entries);
        CWineRegistry registry = EmptyRegistry();
        text.LoadInto(registry);
        const DATInstallInfo info(registry);
        EXPECT_EQ(info.installDirectory, c.expected);
        EXPECT_EQ(info.clientPortalPath, c.expected.empty() ? "" : c.expected + "client_portal.dat");
        EXPECT_EQ(info.portalPath, "");
    }
}

TEST(InstallLocator, FullScreenOnlyFromANonZeroDword)
{
    const struct {
        uint32_t type;
        std::vector<uint8_t> data;
        bool expected;
    } cases[] = {{kRegDword, {1, 0, 0, 0}, true}, {kRegDword, {0, 1, 0, 0}, true},
        {kRegDword, {0, 0, 0, 0}, false}, {kRegSz, {'1', '2', '3', 0}, false},
        {kRegBinary, {1, 0, 0, 0}, false}, {kRegDword, {1}, false}, {kRegDword, {1, 0, 0, 0, 0}, false}};
    for (const auto& c : cases) {
        CRegistryText text;
        text.Set(kGameKey, "fullscreen", c.type, c.data);
        CWineRegistry registry = EmptyRegistry();
        text.LoadInto(registry);
        EXPECT_EQ(DATInstallInfo(registry).fullScreen, c.expected) << c.type << " " << c.data.size();
    }
}

TEST(InstallLocator, QueryRegStringChecksTypeTerminatorAndSize)
{
    CRegistryText text;
    text.SetString("K", "text", "abc");
    text.SetString("K", "expand", "%TEMP%", kRegExpandSz); // taken as it stands
    text.Set("K", "empty", kRegSz, {});
    text.Set("K", "unterminated", kRegSz, {'a', 'b'});
    text.Set("K", "number", kRegDword, {7, 0, 0, 0});
    text.SetString("K", "long", std::string(kRegStringBufferSize, 'x'));
    CWineRegistry registry = EmptyRegistry();
    text.LoadInto(registry);
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
