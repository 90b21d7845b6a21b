#include "archive/InstallLocator.h"
#include "platform/WineRegistry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvanel {
namespace {

namespace fs = std::filesystem;

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

class WineRegistry : public ::testing::Test {
protected:
    void WriteSystemReg(const std::string& text)
    {
        std::ofstream(m_prefix.File("system.reg"), std::ios::binary) << text;
    }
    // The string value as the locator reads it; "<error N>" when it cannot be read.
    static std::string ReadString(IRegistrySource& registry, const std::string& keyPath,
        const std::string& name)
    {
        RegKey key = 0;
        if (const RegResult r = registry.OpenKey(keyPath, key); r != kRegSuccess)
            return "<error " + std::to_string(r) + ">";
        char buffer[kRegStringBufferSize];
        uint32_t size = sizeof(buffer);
        const RegResult r = QueryRegString(registry, key, name, buffer, size);
        registry.CloseKey(key);
        return r == kRegSuccess ? std::string(buffer)
                                : "<error " + std::to_string(r) + ">";
    }
    static std::vector<uint8_t> RawValue(IRegistrySource& registry, const std::string& keyPath,
        const std::string& name, uint32_t& type)
    {
        RegKey key = 0;
        std::vector<uint8_t> data(256);
        uint32_t size = uint32_t(data.size());
        EXPECT_EQ(registry.OpenKey(keyPath, key), kRegSuccess);
        EXPECT_EQ(registry.QueryValue(key, name, type, data.data(), size), kRegSuccess);
        registry.CloseKey(key);
        data.resize(std::min<size_t>(size, data.size()));
        return data;
    }
    static std::vector<std::string> Subkeys(IRegistrySource& registry, const std::string& keyPath)
    {
        std::vector<std::string> names;
        RegKey key = 0;
        if (registry.OpenKey(keyPath, key) != kRegSuccess)
            return names;
        std::string name;
        for (uint32_t i = 0; registry.EnumKey(key, i, name) == kRegSuccess; ++i)
            names.push_back(name);
        registry.CloseKey(key);
        return names;
    }

    fixture::CTempDir m_prefix;
};

TEST_F(WineRegistry, RealPrefixIsFoundWithKeyNamesInAnyCase)
{
    WriteSystemReg(kHeader + "#arch=win32\n\n"
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\TARNWICK\\\\1.00] 1700000000\n"
        "#time=1d9c0f7a8b2c3d4\n"
        "\"Portal Dat\"=\"C:\\\\Program Files\\\\Tarnwick\"\n"
        "\"FullScreen\"=dword:00000001\n\n"
        "[software\\\\microsoft\\\\windows\\\\currentversion\\\\uninstall\\\\{8F2E}] 1700000001\n"
        "; a comment\n"
        "\"DisplayName\"=\"Tarnwick: Emberfall\"\n"
        "\"Publisher\"=\"Quellspire\"\r\n"
        "\"InstallLocation\"=str(2):\"C:\\\\Program Files\\\\Tarnwick\\\\\"\n");
    CWineRegistry registry(m_prefix.Path());
    ASSERT_TRUE(registry.IsLoaded());
    EXPECT_FALSE(registry.IsWin64());
    const DATInstallInfo info(registry);
    EXPECT_EQ(info.portalPath, "C:\\Program Files\\Tarnwick\\portal.dat");
    EXPECT_EQ(info.clientPortalPath, "C:\\Program Files\\Tarnwick\\client_portal.dat");
    EXPECT_TRUE(info.fullScreen);
}

TEST_F(WineRegistry, EscapesInNamesAndValues)
{
    WriteSystemReg(kHeader + "[Software\\\\Br\\]ck\\x00e9t] 1\n"
        "\"Q\\\"uote\"=\"a\\\\b\\\"c\\nd\\te\\0f\"\n"
        "\"Accents\"=\"caf\\x00e9 \\x4e2d \\xd83d\\xde00 \\xde00\"\n"
        "\"Octal\"=\"\\101\\0102\"\n"
        "@=\"the default\"\n");
    CWineRegistry registry(m_prefix.Path());
    const std::string key = "SOFTWARE\\BR]CK\xC3\xA9T";
    uint32_t type = 0;
    const auto quote = RawValue(registry, key, "q\"UOTE", type);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::string(quote.begin(), quote.end()), std::string("a\\b\"c\nd\te\0f\0", 12));
    EXPECT_EQ(ReadString(registry, key, "accents"),
        "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 \xEF\xBF\xBD");
    EXPECT_EQ(ReadString(registry, key, "Octal"), std::string("A\b2"));
    EXPECT_EQ(ReadString(registry, key, ""), "the default");
}

TEST_F(WineRegistry, ValueKinds)
{
    WriteSystemReg(kHeader + "[Software\\\\Kinds] 1\n"
        "\"Expand\"=str(2):\"%ProgramFiles%\\\\T\"\n"
        "\"Multi\"=str(7):\"a\\0b\\0\"\n"
        "\"Number\"=dword:0000002a\n"
        "\"Binary\"=hex:01,02,ff\n"
        "\"Wrapped\"=hex(7):41,00,\\\n"
        "  42,00,\\\n"
        "  00,00\n"
        "\"Unterminated\"=hex(1):41,42\n"
        "\"Empty\"=hex:\n");
    CWineRegistry registry(m_prefix.Path());
    const std::string key = "Software\\Kinds";
    EXPECT_EQ(ReadString(registry, key, "Expand"), "%ProgramFiles%\\T");
    EXPECT_EQ(ReadString(registry, key, "Number"), "<error 13>");
    EXPECT_EQ(ReadString(registry, key, "Binary"), "<error 13>");
    EXPECT_EQ(ReadString(registry, key, "Unterminated"), "<error 13>");
    uint32_t type = 0;
    EXPECT_EQ(RawValue(registry, key, "Multi", type), (std::vector<uint8_t>{'a', 0, 'b', 0, 0}));
    EXPECT_EQ(type, 7u);
    EXPECT_EQ(RawValue(registry, key, "Number", type), (std::vector<uint8_t>{42, 0, 0, 0}));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(RawValue(registry, key, "Binary", type), (std::vector<uint8_t>{1, 2, 0xFF}));
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(RawValue(registry, key, "Wrapped", type), (std::vector<uint8_t>{'A', 0, 'B', 0, 0, 0}));
    EXPECT_TRUE(RawValue(registry, key, "Empty", type).empty());
}

TEST_F(WineRegistry, Win64PrefixShowsThe32BitViewFirst)
{
    const std::string game = "Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00] 1\n";
    const std::string uninstall = "Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\G] 1\n";
    const std::string entry = "\"DisplayName\"=\"Tarnwick: Emberfall\"\n\"Publisher\"=\"Quellspire\"\n";
    const std::string body =
        "[Software\\\\Wow6432Node\\\\" + game + "\"FullScreen\"=dword:1\n"
        "[Software\\\\" + game + "\"Portal Dat\"=\"C:\\\\Plain\"\n"
        "[Software\\\\Wow6432Node\\\\" + uninstall + entry + "\"InstallLocation\"=\"C:\\\\View32\"\n"
        "[Software\\\\" + uninstall + entry + "\"InstallLocation\"=\"C:\\\\View64\"\n";

    WriteSystemReg(kHeader + "#arch=win64\n" + body);
    CWineRegistry win64(m_prefix.Path());
    ASSERT_TRUE(win64.IsWin64());
    const DATInstallInfo seen32(win64);
    EXPECT_TRUE(seen32.fullScreen);
    EXPECT_EQ(seen32.portalDirectory, ""); // the game key of the 32-bit view has no "Portal Dat"
    EXPECT_EQ(seen32.installDirectory, "C:\\View32\\");

    // Keys the 32-bit view lacks are found at their plain path.
    WriteSystemReg(kHeader + "#arch=win64\n[Software\\\\" + game + "\"Portal Dat\"=\"C:\\\\Plain\"\n");
    CWineRegistry plainOnly(m_prefix.Path());
    EXPECT_EQ(DATInstallInfo(plainOnly).portalDirectory, "C:\\Plain\\");

    // A 32-bit prefix has no such view.
    WriteSystemReg(kHeader + "#arch=win32\n" + body);
    CWineRegistry win32(m_prefix.Path());
    const DATInstallInfo plain(win32);
    EXPECT_FALSE(plain.fullScreen);
    EXPECT_EQ(plain.portalDirectory, "C:\\Plain\\");
    EXPECT_EQ(plain.installDirectory, "C:\\View64\\");
}

TEST_F(WineRegistry, SubkeysEnumerateInTheFileOrder)
{
    WriteSystemReg(kHeader + "[Software\\\\Top\\\\Zeta] 1\n"
        "[Software\\\\Top\\\\alpha\\\\Deep] 1\n"
        "[Software\\\\Top\\\\Mid] 1\n"
        "[Software\\\\Top\\\\ALPHA] 1\n"
        "[Software\\\\Top\\\\Zeta\\\\Inner] 1\n");
    CWineRegistry registry(m_prefix.Path());
    EXPECT_EQ(Subkeys(registry, "SOFTWARE\\TOP"), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(Subkeys(registry, "software\\top\\zeta"), (std::vector<std::string>{"Inner"}));
}

TEST_F(WineRegistry, MissingOrMalformedFileIsNoRegistry)
{
    EXPECT_FALSE(CWineRegistry(m_prefix.Path()).IsLoaded()); // no system.reg yet
    EXPECT_FALSE(CWineRegistry(fs::path()).IsLoaded());

    const std::string game = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00]\n"
                             "\"Portal Dat\"=\"C:\\\\P\"\n";
    for (const std::string& text : {game, "REGEDIT4\n" + game, std::string("\0\xFF\x13garbage", 10),
             std::string(), "WINE REGISTRY Version 3\n" + game}) {
        WriteSystemReg(text);
        CWineRegistry registry(m_prefix.Path());
        EXPECT_FALSE(registry.IsLoaded());
        EXPECT_EQ(DATInstallInfo(registry).portalPath, "");
    }

    fs::create_directories(m_prefix.Path() / "other" / "system.reg");
    EXPECT_FALSE(CWineRegistry(m_prefix.Path() / "other").IsLoaded());

    // Too large to be a real registry: refused before it is read.
    WriteSystemReg(kHeader + game);
    fs::resize_file(m_prefix.Path() / "system.reg", kMaxWineRegistrySize + 1);
    EXPECT_FALSE(CWineRegistry(m_prefix.Path()).IsLoaded());
}

TEST_F(WineRegistry, DamagedLinesAreSkippedAsWineSkipsThem)
{
    WriteSystemReg(kHeader + "[Software\\\\Good] 1\n"
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
    CWineRegistry registry(m_prefix.Path());
    ASSERT_TRUE(registry.IsLoaded());
    EXPECT_EQ(ReadString(registry, "Software\\Good", "Kept"), "yes");
    for (const char* name : {"Cut", "BadNumber", "TooLongNumber", "BadByte", "WideByte",
             "NoEquals", "Unknown", "LastLine", "Lost"})
        EXPECT_EQ(ReadString(registry, "Software\\Good", name), "<error 2>") << name;
    EXPECT_EQ(Subkeys(registry, ""), (std::vector<std::string>{"Software"}));
    EXPECT_EQ(Subkeys(registry, "Software"), (std::vector<std::string>{"Good"}));
}

class WineHostPath : public WineRegistry {
protected:
    void SetUp() override
    {
        fs::create_directories(m_prefix.Path() / "drive_c" / "Games" / "TarnWick");
        fs::create_directories(m_prefix.Path() / "dosdevices");
        fs::create_directory_symlink("../drive_c", m_prefix.Path() / "dosdevices" / "c:");
        std::ofstream(m_prefix.Path() / "drive_c" / "Games" / "TarnWick" / "Client_Portal.DAT");
        m_driveC = fs::canonical(m_prefix.Path() / "drive_c").string();
    }
    std::string m_driveC;
};

TEST_F(WineHostPath, DriveLinkAndComponentsInAnyCaseOrNone)
{
    CWineRegistry registry(m_prefix.Path()); // no system.reg: paths translate all the same
    EXPECT_EQ(registry.HostPath("C:\\games\\tarnwick\\client_portal.dat"),
        m_driveC + "/Games/TarnWick/Client_Portal.DAT");
    EXPECT_EQ(registry.HostPath("c:/GAMES\\Other\\..\\.\\TarnWick\\\\Client_Portal.DAT"),
        m_driveC + "/Games/TarnWick/Client_Portal.DAT");
    // What does not exist is kept as written, for the open to fail on.
    EXPECT_EQ(registry.HostPath("C:\\games\\Missing\\tarnwick\\x.dat"),
        m_driveC + "/Games/Missing/tarnwick/x.dat");
    EXPECT_EQ(registry.HostPath("C:\\..\\..\\games"), m_driveC + "/Games");
    // Paths without a linked drive have no host path.
    EXPECT_EQ(registry.HostPath(""), "");
    EXPECT_EQ(registry.HostPath("D:\\Games\\client_portal.dat"), "");
    EXPECT_EQ(registry.HostPath("\\\\server\\share\\client_portal.dat"), "");
    EXPECT_EQ(registry.HostPath("Games\\client_portal.dat"), "");
    EXPECT_EQ(registry.HostPath("1:\\Games"), "");
}

TEST(WinePrefix, FromWineprefixOrHome)
{
    const char* savedPrefix = std::getenv("WINEPREFIX");
    const std::string saved = savedPrefix ? savedPrefix : "";
    ::setenv("WINEPREFIX", "/opt/prefixes/tarnwick", 1);
    EXPECT_EQ(DefaultWinePrefix(), fs::path("/opt/prefixes/tarnwick"));
    ::setenv("WINEPREFIX", "", 1);
    const char* home = std::getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(DefaultWinePrefix(), fs::path(home) / ".wine");
    }
    if (savedPrefix)
        ::setenv("WINEPREFIX", saved.c_str(), 1);
    else
        ::unsetenv("WINEPREFIX");
}

} // namespace
} // namespace orvanel
