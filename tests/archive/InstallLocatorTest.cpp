#include "archive/InstallLocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace orvanel {
namespace {

const std::string kGameKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Tarnwick\\1.00";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Fold(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A registry of a few values; a key exists while a value lies in it or below it. Names compare
// without regard to case, subkeys enumerate in the order they were first given, open keys are
// counted. failEnumeration makes EnumKey fail at index 0.
class CFakeRegistry : public IRegistrySource {
public:
    void Set(const std::string& key, const std::string& name, uint32_t type, std::vector<uint8_t> data)
    {
        m_values.push_back({Fold(key), Fold(name), type, std::move(data)});
    }
    void SetString(const std::string& key, const std::string& name, const std::string& text,
        uint32_t type = kRegSz)
    {
        Set(key, name, type, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
    }

    RegResult OpenKey(const std::string& path, RegKey& key) override
    {
        const std::string folded = Fold(path);
        if (std::none_of(m_values.begin(), m_values.end(), [&](const Value& v) {
                return v.key == folded || v.key.starts_with(folded + "\\"); }))
            return kRegNotFound;
        ++open;
        m_opened.push_back(folded);
        key = m_opened.size();
        return kRegSuccess;
    }
    RegResult QueryValue(RegKey key, const std::string& name, uint32_t& type, uint8_t* data,
        uint32_t& size) override
    {
        const auto found = std::find_if(m_values.rbegin(), m_values.rend(), [&](const Value& v) {
            return v.key == m_opened.at(key - 1) && v.name == Fold(name); });
        if (found == m_values.rend())
            return kRegNotFound;
        type = found->type;
        const uint32_t capacity = std::exchange(size, uint32_t(found->data.size()));
        if (size > capacity)
            return kRegMoreData;
        std::copy(found->data.begin(), found->data.end(), data);
        return kRegSuccess;
    }
    RegResult EnumKey(RegKey key, uint32_t index, std::string& name) override
    {
        if (failEnumeration && index == 0)
            return *failEnumeration;
        const std::string prefix = m_opened.at(key - 1) + "\\";
        std::vector<std::string> names;
        for (const Value& v : m_values) {
            const auto end = v.key.find('\\', prefix.size());
            if (v.key.starts_with(prefix) && std::find(names.begin(), names.end(), v.key.substr(0, end)) == names.end())
                names.push_back(v.key.substr(0, end));
        }
        if (index >= names.size())
            return kRegNoMoreItems;
        name = names[index].substr(prefix.size());
        return kRegSuccess;
    }
    void CloseKey(RegKey) override { --open; }
    std::string HostPath(const std::string& path) const override { return path; }

    int open = 0;
    std::optional<RegResult> failEnumeration;

private:
    struct Value {
        std::string key, name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    std::vector<Value> m_values;
    std::vector<std::string> m_opened;
};

struct Entry {
    std::string name, displayName, publisher;
    std::optional<std::string> location;
};

void AddEntries(CFakeRegistry& registry, const std::vector<Entry>& entries)
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
        CFakeRegistry registry;
        registry.SetString(kGameKey, "Portal Dat", value);
        AddEntries(registry, {{"{5A1C}", "Tarnwick: Emberfall", "Quellspire", value}});
        const DATInstallInfo info(registry);
        EXPECT_EQ(info.portalDirectory, "C:\\Games\\Tarnwick\\") << value;
        EXPECT_EQ(info.portalPath, "C:\\Games\\Tarnwick\\portal.dat");
        EXPECT_EQ(info.installDirectory, "C:\\Games\\Tarnwick\\");
        EXPECT_EQ(info.clientPortalPath, "C:\\Games\\Tarnwick\\client_portal.dat");
        EXPECT_EQ(info.clientLocalPath, "C:\\Games\\Tarnwick\\client_local_English.dat");
        EXPECT_EQ(info.clientHighResPath, "C:\\Games\\Tarnwick\\client_highres.dat");
        EXPECT_EQ(info.clientCellPath, "C:\\Games\\Tarnwick\\client_cell_1.dat");
        EXPECT_EQ(registry.open, 0);
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
        CFakeRegistry registry;
        AddEntries(registry, c.entries);
        const DATInstallInfo info(registry);
        EXPECT_EQ(info.installDirectory, c.expected);
        EXPECT_EQ(info.clientPortalPath, c.expected.empty() ? "" : c.expected + "client_portal.dat");
        EXPECT_EQ(info.portalPath, "");
        EXPECT_EQ(registry.open, 0);
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
        CFakeRegistry registry;
        registry.Set(kGameKey, "fullscreen", c.type, c.data);
        EXPECT_EQ(DATInstallInfo(registry).fullScreen, c.expected) << c.type << " " << c.data.size();
    }
}

TEST(InstallLocator, QueryRegStringChecksTypeTerminatorAndSize)
{
    CFakeRegistry registry;
    registry.SetString("K", "text", "abc");
    registry.SetString("K", "expand", "%TEMP%", kRegExpandSz); // taken as it stands
    registry.Set("K", "empty", kRegSz, {});
    registry.Set("K", "unterminated", kRegSz, {'a', 'b'});
    registry.Set("K", "number", kRegDword, {7, 0, 0, 0});
    registry.SetString("K", "long", std::string(kRegStringBufferSize, 'x'));
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

TEST(InstallLocator, EnumerationErrors)
{
    // A name too long to read skips that entry only; an error of the key itself would come
    // back for every index, so it ends the search.
    for (RegResult failure : {kRegMoreData, kRegInvalidHandle}) {
        CFakeRegistry registry;
        registry.failEnumeration = failure;
        AddEntries(registry, {{"Unreadable", "Tarnwick: Emberfall", "Quellspire", "C:\\U"},
            {"Readable", "Tarnwick: Emberfall", "Quellspire", "C:\\R"}});
        EXPECT_EQ(DATInstallInfo(registry).installDirectory, failure == kRegMoreData ? "C:\\R\\" : "");
    }
}

} // namespace
} // namespace orvanel
