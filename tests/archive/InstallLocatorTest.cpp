#include "archive/InstallLocator.h"
#include "archive/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvanel {
namespace {

const std::string kGameKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Tarnwick\\1.00";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void AddUninstallEntry(CMemoryRegistry& registry, const std::string& name,
    const std::string& displayName, const std::string& publisher,
    std::optional<std::string> location)
{
    const std::string key = kUninstallKey + "\\" + name;
    registry.SetString(key, "DisplayName", displayName);
    registry.SetString(key, "Publisher", publisher);
    if (location)
        registry.SetString(key, "InstallLocation", *location);
}

void AddGame(CMemoryRegistry& registry, const std::string& name, std::optional<std::string> location)
{
    AddUninstallEntry(registry, name, "Tarnwick: Emberfall", "Quellspire", std::move(location));
}

// The install directory and the client paths made from it; all empty when directory is.
void ExpectInstallDirectory(const DATInstallInfo& info, const std::string& directory)
{
    const auto in = [&](const char* file) { return directory.empty() ? "" : directory + file; };
    EXPECT_EQ(info.installDirectory, directory);
    EXPECT_EQ(info.clientPortalPath, in("client_portal.dat"));
    EXPECT_EQ(info.clientLocalPath, in("client_local_English.dat"));
    EXPECT_EQ(info.clientHighResPath, in("client_highres.dat"));
    EXPECT_EQ(info.clientCellPath, in("client_cell_1.dat"));
}

void ExpectNoInstallDirectory(const DATInstallInfo& info)
{
    ExpectInstallDirectory(info, "");
}

TEST(InstallLocator, PortalDatGetsExactlyOneTrailingBackslash)
{
    for (const std::string value : {"D:\\Tarnwick\\Data", "D:\\Tarnwick\\Data\\"}) {
        CMemoryRegistry registry;
        registry.SetString(kGameKey, "Portal Dat", value);
        const DATInstallInfo info(registry);
        EXPECT_EQ(info.portalDirectory, "D:\\Tarnwick\\Data\\") << value;
        EXPECT_EQ(info.portalPath, "D:\\Tarnwick\\Data\\portal.dat") << value;
        ExpectNoInstallDirectory(info);
    }
}

TEST(InstallLocator, InstallLocationGivesEveryClientPath)
{
    for (const std::string value : {"C:\\Games\\Tarnwick", "C:\\Games\\Tarnwick\\"}) {
        CMemoryRegistry registry;
        AddGame(registry, "{5A1C}", value);
        const DATInstallInfo info(registry);
        SCOPED_TRACE(value);
        EXPECT_EQ(info.clientPortalPath, "C:\\Games\\Tarnwick\\client_portal.dat");
        ExpectInstallDirectory(info, "C:\\Games\\Tarnwick\\");
        EXPECT_EQ(info.portalPath, "");
        EXPECT_EQ(info.portalDirectory, "");
    }
}

TEST(InstallLocator, FirstMatchingEntryInEnumerationOrderWins)
{
    CMemoryRegistry registry;
    AddUninstallEntry(registry, "Other", "Other Game", "Quellspire", "C:\\Other");
    AddGame(registry, "Zeta", "C:\\First");
    AddGame(registry, "Alpha", "C:\\Second");
    EXPECT_EQ(DATInstallInfo(registry).installDirectory, "C:\\First\\");
}

TEST(InstallLocator, FirstMatchWithoutInstallLocationEndsTheSearch)
{
    CMemoryRegistry registry;
    AddGame(registry, "NoLocation", std::nullopt);
    AddGame(registry, "Later", "C:\\Later");
    ExpectNoInstallDirectory(DATInstallInfo(registry));
}

TEST(InstallLocator, NamesMustMatchExactlyIncludingCase)
{
    CMemoryRegistry registry;
    AddUninstallEntry(registry, "A", "Tarnwick: Emberfall", "quellspire", "C:\\A");
    AddUninstallEntry(registry, "B", "TARNWICK: EMBERFALL", "Quellspire", "C:\\B");
    AddUninstallEntry(registry, "C", "Tarnwick: Emberfall ", "Quellspire", "C:\\C");
    registry.SetString(kUninstallKey + "\\D", "DisplayName", "Tarnwick: Emberfall");
    AddGame(registry, "E", "C:\\E");
    EXPECT_EQ(DATInstallInfo(registry).installDirectory, "C:\\E\\");
}

TEST(InstallLocator, FullScreenOnlyFromANonZeroDword)
{
    const auto fullScreen = [](auto store) {
        CMemoryRegistry registry;
        store(registry);
        return DATInstallInfo(registry).fullScreen;
    };
    EXPECT_TRUE(fullScreen([](CMemoryRegistry& r) { r.SetDword(kGameKey, "FullScreen", 1); }));
    EXPECT_TRUE(fullScreen([](CMemoryRegistry& r) { r.SetDword(kGameKey, "fullscreen", 0x100); }));
    EXPECT_FALSE(fullScreen([](CMemoryRegistry& r) { r.SetDword(kGameKey, "FullScreen", 0); }));
    EXPECT_FALSE(fullScreen([](CMemoryRegistry& r) { r.SetString(kGameKey, "FullScreen", "1"); }));
    // Four bytes, as long as a DWORD, but of the wrong type.
    EXPECT_FALSE(fullScreen([](CMemoryRegistry& r) { r.SetString(kGameKey, "FullScreen", "123"); }));
    EXPECT_FALSE(fullScreen(
        [](CMemoryRegistry& r) { r.SetValue(kGameKey, "FullScreen", kRegBinary, {1, 0, 0, 0}); }));
    // A REG_DWORD of the wrong length has no value to read.
    EXPECT_FALSE(fullScreen(
        [](CMemoryRegistry& r) { r.SetValue(kGameKey, "FullScreen", kRegDword, {1}); }));
    EXPECT_FALSE(fullScreen(
        [](CMemoryRegistry& r) { r.SetValue(kGameKey, "FullScreen", kRegDword, {1, 0, 0, 0, 0}); }));
}

TEST(InstallLocator, NothingFoundLeavesEveryFieldEmpty)
{
    CMemoryRegistry empty;
    CMemoryRegistry keysWithoutValues;
    keysWithoutValues.CreateKey(kGameKey);
    keysWithoutValues.CreateKey(kUninstallKey + "\\Something");
    for (CMemoryRegistry* registry : {&empty, &keysWithoutValues}) {
        const DATInstallInfo info(*registry);
        EXPECT_EQ(info.portalPath, "");
        EXPECT_EQ(info.portalDirectory, "");
        ExpectNoInstallDirectory(info);
        EXPECT_FALSE(info.fullScreen);
    }
}

TEST(InstallLocator, EmptyDirectoryValuesNameNoDirectory)
{
    CMemoryRegistry registry;
    registry.SetString(kGameKey, "Portal Dat", "");
    AddGame(registry, "Game", "");
    const DATInstallInfo info(registry);
    EXPECT_EQ(info.portalPath, "");
    EXPECT_EQ(info.portalDirectory, "");
    ExpectNoInstallDirectory(info);
}

TEST(InstallLocator, StringValuesThatCannotBeReadCountAsMissing)
{
    CMemoryRegistry registry;
    registry.SetValue(kGameKey, "Portal Dat", kRegSz, {'C', ':'}); // no terminating zero
    // An unreadable publisher is no match; an expandable location is taken as it stands.
    AddUninstallEntry(registry, "A", "Tarnwick: Emberfall", "", "C:\\A");
    registry.SetValue(kUninstallKey + "\\A", "Publisher", kRegBinary, {'Q', 0});
    AddGame(registry, "B", std::nullopt);
    registry.SetString(kUninstallKey + "\\B", "InstallLocation", "%ProgramFiles%\\T", kRegExpandSz);
    const DATInstallInfo info(registry);
    EXPECT_EQ(info.portalDirectory, "");
    EXPECT_EQ(info.installDirectory, "%ProgramFiles%\\T\\");
}

TEST(QueryRegStringTest, ChecksTypeTerminatorAndSize)
{
    CMemoryRegistry registry;
    registry.SetString("K", "text", "abc");
    registry.SetString("K", "expand", "%TEMP%", kRegExpandSz);
    registry.SetValue("K", "empty", kRegSz, {});
    registry.SetValue("K", "unterminated", kRegSz, {'a', 'b'});
    registry.SetDword("K", "number", 7);
    registry.SetString("K", "long", std::string(kRegStringBufferSize, 'x'));
    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey("k", key), kRegSuccess);

    char buffer[kRegStringBufferSize];
    const auto query = [&](const std::string& name, uint32_t& size) {
        size = sizeof(buffer);
        std::fill(std::begin(buffer), std::end(buffer), '?');
        return QueryRegString(registry, key, name, buffer, size);
    };
    uint32_t size = 0;
    EXPECT_EQ(query("text", size), kRegSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(query("expand", size), kRegSuccess);
    EXPECT_STREQ(buffer, "%TEMP%");
    EXPECT_EQ(query("empty", size), kRegSuccess);
    EXPECT_EQ(size, 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(query("unterminated", size), kRegInvalidData);
    EXPECT_EQ(query("number", size), kRegInvalidData);
    EXPECT_EQ(query("long", size), kRegMoreData);
    EXPECT_EQ(query("missing", size), kRegNotFound);
    registry.CloseKey(key);
    EXPECT_EQ(query("text", size), kRegInvalidHandle);
}

// Fails enumerations of the Uninstall key in the ways a real registry can.
class CFailingEnumeration final : public CMemoryRegistry {
public:
    explicit CFailingEnumeration(RegResult failure) : m_failure(failure) {}
    RegResult EnumKey(RegKey key, uint32_t index, std::string& name) override
    {
        ++calls;
        if (index == 0 || m_failure != kRegMoreData)
            return m_failure;
        return CMemoryRegistry::EnumKey(key, index, name);
    }
    int calls = 0;

private:
    RegResult m_failure;
};

TEST(InstallLocator, EnumerationErrors)
{
    // A name too long to read skips that entry only.
    CFailingEnumeration longName(kRegMoreData);
    AddGame(longName, "Unreadable", "C:\\Unreadable");
    AddGame(longName, "Readable", "C:\\Readable");
    EXPECT_EQ(DATInstallInfo(longName).installDirectory, "C:\\Readable\\");

    // An error of the key itself would come back for every index: the search ends.
    CFailingEnumeration broken(kRegInvalidHandle);
    AddGame(broken, "Game", "C:\\Game");
    ExpectNoInstallDirectory(DATInstallInfo(broken));
    EXPECT_EQ(broken.calls, 1);
}

TEST(InstallLocator, EveryKeyOpenedIsClosed)
{
    CMemoryRegistry registry;
    registry.SetString(kGameKey, "Portal Dat", "C:\\P");
    registry.SetDword(kGameKey, "FullScreen", 1);
    AddUninstallEntry(registry, "Other", "Other", "Someone", "C:\\O");
    AddGame(registry, "NoLocation", std::nullopt);
    AddGame(registry, "Game", "C:\\G");
    const DATInstallInfo info(registry);
    EXPECT_TRUE(info.fullScreen);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);

    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey(kUninstallKey, key), kRegSuccess);
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

} // namespace
} // namespace orvanel
