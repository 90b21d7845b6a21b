#pragma once
// The registry of a Wine prefix: the HKEY_LOCAL_MACHINE keys Wine keeps in the prefix's
// system.reg, seen as a 32-bit Windows program sees them, and the prefix's drive links
// for turning the Windows paths found there into host paths.

#include "archive/RegistrySource.h"
#include "platform/WineRegistryParser.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvanel {

// A system.reg larger than this is refused; real ones are a few megabytes.
inline constexpr uint64_t kMaxWineRegistrySize = uint64_t(256) << 20;

class CWineRegistry final : public IRegistrySource {
public:
    // Reads prefix/system.reg. A missing, unreadable, oversized or malformed file leaves the
    // registry empty: every key is then missing.
    explicit CWineRegistry(std::filesystem::path prefix);

    // Replaces the keys with those of system.reg text. False, with the registry left empty,
    // when the text is not a Wine registry file; lines Wine itself would reject are skipped.
    bool Load(std::string_view text);
    bool IsLoaded() const { return m_loaded; }
    // Whether the prefix is a 64-bit one (#arch=win64).
    bool IsWin64() const { return m_win64; }

    // On a 64-bit prefix, a key under SOFTWARE is looked for first in the 32-bit view
    // (SOFTWARE\Wow6432Node\...), then at its plain path.
    RegResult OpenKey(const std::string& path, RegKey& key) override;
    RegResult QueryValue(
        RegKey key, const std::string& name, uint32_t& type, uint8_t* data, uint32_t& size) override;
    RegResult EnumKey(RegKey key, uint32_t index, std::string& name) override;
    // Keys are held in memory for as long as the registry lives: there is nothing to release.
    void CloseKey(RegKey) override { }
    // "X:\a\b" becomes the prefix's dosdevices/x: link resolved, then a/b; each component
    // that does not exist as written is matched against the directory's entries without
    // regard to case. Empty for a path without a drive letter or a drive without a link.
    std::string HostPath(const std::string& windowsPath) const override;

private:
    // The key an open handle stands for (handle n is key n - 1), or null.
    const CWineHive::Key* KeyOf(RegKey key) const;

    std::filesystem::path m_prefix;
    CWineHive m_hive;
    bool m_loaded = false;
    bool m_win64 = false;
};

// The prefix Wine runs this user's programs in: $WINEPREFIX, or ~/.wine when it is unset
// or empty. Empty when neither is known.
std::filesystem::path DefaultWinePrefix();

} // namespace orvanel
