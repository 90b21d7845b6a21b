#include "platform/WineRegistry.h"
#include "archive/InstallLocator.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvanel {
namespace {

namespace fs = std::filesystem;

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

class WineRegistry : public ::testing::Test {
protected:
    CWineRegistry Load(const std::string& text)
    {
        std::ofstream(m_prefix.File("system.reg"), std::ios::binary) << text;
        return CWineRegistry(m_prefix.Path());
    }
    // "type:bytes" of a value, or "<error N>".
    static std::string Value(CWineRegistry& registry, const std::string& keyPath, const std::string& name)
    {
        RegKey key = 0;
        uint8_t data[256];
        uint32_t type = 0, size = sizeof data;
        RegResult result = registry.OpenKey(keyPath, key);
        if (result == kRegSuccess)
            result = registry.QueryValue(key, name, type, data, size);
        return result ? "<error " + std::to_string(result) + ">"
                      : std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
    }

    fixture::CTempDir m_prefix;
};

TEST_F(WineRegistry, ValuesAsWineWritesThemDamagedLinesSkipped)
{
    CWineRegistry registry = Load(kHeader
        + "[Software\\\\Br\\]ck\\x00e9t] 1\n"
          "\"Q\\\"uote\"=\"a\\\\b\\\"c\\nd\\te\\0f\"\n"
          "\"Accents\"=\"caf\\x00e9 \\x4e2d \\xd83d\\xde00 \\xde00\"\n"
          "\"Octal\"=\"\\101\\0102\"\n"
          "@=\"the default\"\n"
          "\"Expand\"=str(2):\"%ProgramFiles%\\\\T\"\n"
          "\"Multi\"=str(7):\"a\\0b\\0\"\n"
          "\"Number\"=dword:0000002a\n"
          "\"Binary\"=hex:01,02,ff\n"
          "\"Wrapped\"=hex(7):41,00,\\\n  42,00,\\\n  00,00\n"
          "\"Empty\"=hex:\n"
          "\"Cut\"=\"no closing quote\n"
          "\"BadNumber\"=dword:xyz\n"
          "\"TooLongNumber\"=dword:123456789\n"
          "\"BadByte\"=hex:01,2g\n"
          "\"WideByte\"=hex:123\n"
          "\"NoEquals\" \"x\"\n"
          "\"Unknown\"=quad:1\n"
          "\"LastLine\"=hex:01,\\\n"
          "garbage line\n"
          "\"Kept\"=\"yes\"\n"
          "[Software\\\\Unclosed\n"
          "\"Lost\"=\"value of no key\"\n");
    ASSERT_TRUE(registry.IsLoaded());
    const struct {
        const char* name;
        std::string expected;
    } cases[] = {{"q\"UOTE", std::string("1:a\\b\"c\nd\te\0f\0", 14)},
        {"accents", std::string("1:caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 \xEF\xBF\xBD\0", 21)},
        {"Octal", std::string("1:A\b2\0", 6)}, {"", std::string("1:the default\0", 14)},
        {"Expand", std::string("2:%ProgramFiles%\\T\0", 19)}, {"Multi", std::string("7:a\0b\0\0", 7)},
        {"Number", std::string("4:*\0\0\0", 6)}, {"Binary", "3:\x01\x02\xFF"},
        {"Wrapped", std::string("7:A\0B\0\0\0", 8)}, {"Empty", "3:"}, {"Kept", std::string("1:yes\0", 6)},
        {"Cut", "<error 2>"}, {"BadNumber", "<error 2>"}, {"TooLongNumber", "<error 2>"},
        {"BadByte", "<error 2>"}, {"WideByte", "<error 2>"}, {"NoEquals", "<error 2>"},
        {"Unknown", "<error 2>"}, {"LastLine", "<error 2>"}, {"Lost", "<error 2>"}};
    for (const auto& c : cases)
        EXPECT_EQ(Value(registry, "SOFTWARE\\BR]CK\xC3\xA9T", c.name), c.expected) << c.name;
    // The key's name as it was written, the only one under its parent.
    RegKey software = 0;
    std::string name;
    ASSERT_EQ(registry.OpenKey("Software", software), kRegSuccess);
    EXPECT_EQ(registry.EnumKey(software, 0, name), kRegSuccess);
    EXPECT_EQ(name, "Br]ck\xC3\xA9t");
    EXPECT_NE(registry.EnumKey(software, 1, name), kRegSuccess);
}

TEST_F(WineRegistry, LocatorSeesThe32BitViewOfA64BitPrefix)
{
    const std::string game = "Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00] 1\n";
    const std::string uninstall = "microsoft\\\\windows\\\\currentversion\\\\UNINSTALL\\\\G] 1\n";
    const std::string entry = "\"DisplayName\"=\"Tarnwick: Emberfall\"\n\"Publisher\"=\"Quellspire\"\r\n";
    const std::string body = "[Software\\\\Wow6432Node\\\\" + game
        + "\"FullScreen\"=dword:1\n"
          "[Software\\\\"
        + game
        + "\"Portal Dat\"=\"C:\\\\Plain\"\n"
          "[Software\\\\Wow6432Node\\\\"
        + uninstall + entry
        + "\"InstallLocation\"=\"C:\\\\View32\"\n"
          "[Software\\\\"
        + uninstall + entry + "\"InstallLocation\"=str(2):\"C:\\\\View64\"\n";
    // A value the 32-bit key lacks is not looked for in the plain key; a key missing from
    // the 32-bit view altogether is found at its plain path.
    CWineRegistry win64 = Load(kHeader + "#arch=win64\n" + body);
    ASSERT_TRUE(win64.IsWin64());
    const DATInstallInfo seen32(win64);
    EXPECT_TRUE(seen32.fullScreen);
    EXPECT_EQ(seen32.portalDirectory, "");
    EXPECT_EQ(seen32.clientPortalPath, "C:\\View32\\client_portal.dat");
    CWineRegistry plainOnly =
        Load(kHeader + "#arch=win64\n[Software\\\\" + game + "\"Portal Dat\"=\"C:\\\\P\"\n");
    EXPECT_EQ(DATInstallInfo(plainOnly).portalPath, "C:\\P\\portal.dat");

    CWineRegistry win32 = Load(kHeader + "#arch=win32\n" + body);
    const DATInstallInfo plain(win32);
    EXPECT_FALSE(plain.fullScreen);
    EXPECT_EQ(plain.portalDirectory, "C:\\Plain\\");
    EXPECT_EQ(plain.installDirectory, "C:\\View64\\");
}

TEST_F(WineRegistry, MissingOrMalformedFileIsNoRegistry)
{
    EXPECT_FALSE(CWineRegistry(m_prefix.Path()).IsLoaded()); // no system.reg yet
    EXPECT_FALSE(CWineRegistry(fs::path()).IsLoaded());
    const std::string game = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00]\n"
                             "\"Portal Dat\"=\"C:\\\\P\"\n";
    for (const std::string& text : {game, "REGEDIT4\n" + game, std::string("\0\xFF\x13garbage", 10),
             std::string(), "WINE REGISTRY Version 3\n" + game}) {
        CWineRegistry registry = Load(text);
        EXPECT_FALSE(registry.IsLoaded());
        EXPECT_EQ(DATInstallInfo(registry).portalPath, "");
    }
    fs::create_directories(m_prefix.Path() / "other" / "system.reg");
    EXPECT_FALSE(CWineRegistry(m_prefix.Path() / "other").IsLoaded());
    // Too large to be a real registry: refused before it is read.
    Load(kHeader + game);
    fs::resize_file(m_prefix.Path() / "system.reg", kMaxWineRegistrySize + 1);
    EXPECT_FALSE(CWineRegistry(m_prefix.Path()).IsLoaded());
}

TEST_F(WineRegistry, HostPathFollowsTheDriveLinkAndMatchesNamesInAnyCase)
{
    fs::create_directories(m_prefix.Path() / "drive_c" / "Games" / "TarnWick");
    fs::create_directories(m_prefix.Path() / "dosdevices");
    fs::create_directory_symlink("../drive_c", m_prefix.Path() / "dosdevices" / "c:");
    std::ofstream(m_prefix.Path() / "drive_c" / "Games" / "TarnWick" / "Client_Portal.DAT");
    const std::string driveC = fs::canonical(m_prefix.Path() / "drive_c").string();
    const CWineRegistry registry(m_prefix.Path()); // no system.reg: paths translate all the same
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\games\\tarnwick\\client_portal.dat", driveC + "/Games/TarnWick/Client_Portal.DAT"},
        {"c:/GAMES\\Other\\..\\.\\TarnWick\\\\Client_Portal.DAT",
            driveC + "/Games/TarnWick/Client_Portal.DAT"},
        // What does not exist is kept as written, for the open to fail on.
        {"C:\\games\\Missing\\tarnwick\\x.dat", driveC + "/Games/Missing/tarnwick/x.dat"},
        {"C:\\..\\..\\games", driveC + "/Games"}, {"", ""}, {"D:\\Games\\client_portal.dat", ""},
        {"\\\\server\\share\\x.dat", ""}, {"Games\\client_portal.dat", ""}, {"1:\\Games", ""}};
    for (const auto& [windows, host] : cases)
        EXPECT_EQ(registry.HostPath(windows), host) << windows;
}

} // namespace
} // namespace orvanel
