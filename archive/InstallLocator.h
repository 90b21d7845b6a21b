#pragma once
// Finds where Tarnwick is installed from its registry entries and derives the paths of the
// game's DAT archives from it.

#include "archive/RegistrySource.h"

#include <cstdint>
#include <string>

namespace orvanel {

// Size of the buffer string values are read into, terminating zero included.
inline constexpr uint32_t kRegStringBufferSize = 2048;

// Reads a string value (REG_SZ, or REG_EXPAND_SZ taken as it stands, variables unexpanded)
// into buffer, which holds size bytes; on success size becomes the bytes read, terminating
// zero included, and the result is 0. Otherwise the source's error, or kRegInvalidData for
// a value of another type or one without its terminating zero.
RegResult QueryRegString(
    IRegistrySource& source, RegKey key, const std::string& name, char* buffer, uint32_t& size);

// The installed game's archive paths, Windows-style ("\" separators). A field whose source
// is not in the registry stays empty, the flag false.
struct DATInstallInfo {
    // Runs the lookup on the given registry (CreateDefaultRegistrySource gives this platform's).
    explicit DATInstallInfo(IRegistrySource& source);

    // Fills the record from the registry. Every key it opens is closed again before it returns.
    void LocateInstallation(IRegistrySource& source);

    std::string portalPath;        // the "Portal Dat" directory followed by "portal.dat"
    std::string portalDirectory;   // the "Portal Dat" directory, with a trailing "\"
    std::string installDirectory;  // the uninstall entry's "InstallLocation", with a trailing "\"
    std::string clientPortalPath;  // install directory + "client_portal.dat"
    std::string clientLocalPath;   // install directory + "client_local_English.dat"
    std::string clientHighResPath; // install directory + "client_highres.dat"
    std::string clientCellPath;    // install directory + "client_cell_1.dat"
    bool fullScreen = false;       // "FullScreen" is a REG_DWORD other than 0
};

} // namespace orvanel
