#include "archive/InstallLocator.h"

#include <optional>

namespace orvanel {

namespace {

const std::string kGameKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Tarnwick\\1.00";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kGameDisplayName = "Tarnwick: Emberfall";
const std::string kGamePublisher = "Quellspire";

// A key open for as long as the object lives.
class COpenKey {
public:
    COpenKey(IRegistrySource& source, const std::string& path)
        : m_source(source), m_open(source.OpenKey(path, m_key) == kRegSuccess)
    {
    }
    ~COpenKey()
    {
        if (m_open)
            m_source.CloseKey(m_key);
    }
    COpenKey(const COpenKey&) = delete;
    COpenKey& operator=(const COpenKey&) = delete;

    bool IsOpen() const { return m_open; }
    RegKey Get() const { return m_key; }

private:
    IRegistrySource& m_source;
    RegKey m_key = 0;
    bool m_open;
};

std::optional<std::string> ReadString(IRegistrySource& source, const COpenKey& key, const std::string& name)
{
    char buffer[kRegStringBufferSize];
    uint32_t size = sizeof(buffer);
    if (QueryRegString(source, key.Get(), name, buffer, size) != kRegSuccess)
        return std::nullopt;
    return std::string(buffer);
}

// A directory value as a path prefix. An empty value names no directory: it would
// otherwise become "\", the root of the current drive.
std::optional<std::string> ReadDirectory(
    IRegistrySource& source, const COpenKey& key, const std::string& name)
{
    std::optional<std::string> directory = ReadString(source, key, name);
    if (!directory || directory->empty())
        return std::nullopt;
    if (directory->back() != '\\')
        *directory += '\\';
    return directory;
}

} // namespace

RegResult QueryRegString(
    IRegistrySource& source, RegKey key, const std::string& name, char* buffer, uint32_t& size)
{
    uint32_t type = kRegNone;
    uint32_t read = size;
    const RegResult result = source.QueryValue(key, name, type, reinterpret_cast<uint8_t*>(buffer), read);
    if (result != kRegSuccess)
        return result;
    if (type != kRegSz && type != kRegExpandSz)
        return kRegInvalidData;
    if (read > size)
        return kRegMoreData; // a source that claims more than the buffer holds
    if (read == 0) {
        if (size == 0)
            return kRegMoreData;
        buffer[0] = 0;
    } else if (buffer[read - 1] != 0) {
        return kRegInvalidData;
    }
    size = read;
    return kRegSuccess;
}

DATInstallInfo::DATInstallInfo(IRegistrySource& source)
{
    LocateInstallation(source);
}

void DATInstallInfo::LocateInstallation(IRegistrySource& source)
{
    {
        const COpenKey game(source, kGameKey);
        if (game.IsOpen()) {
            if (const auto directory = ReadDirectory(source, game, "Portal Dat")) {
                portalDirectory = *directory;
                portalPath = *directory + "portal.dat";
            }
            // A value of another length than a DWORD's has no number to read.
            uint8_t value[4] = {};
            uint32_t type = kRegNone;
            uint32_t size = sizeof value;
            if (source.QueryValue(game.Get(), "FullScreen", type, value, size) == kRegSuccess
                && type == kRegDword && size == sizeof value)
                fullScreen = (value[0] | value[1] | value[2] | value[3]) != 0;
        }
    }

    const COpenKey uninstall(source, kUninstallKey);
    if (!uninstall.IsOpen())
        return;
    for (uint32_t index = 0; index < UINT32_MAX; ++index) {
        std::string name;
        const RegResult result = source.EnumKey(uninstall.Get(), index, name);
        // A name too long to read skips that entry. Any other error is the end of the list or
        // concerns the key itself, and would come back for every further index.
        if (result == kRegMoreData)
            continue;
        if (result != kRegSuccess)
            break;

        const COpenKey entry(source, kUninstallKey + "\\" + name);
        if (!entry.IsOpen())
            continue;
        if (ReadString(source, entry, "DisplayName").value_or("") != kGameDisplayName
            || ReadString(source, entry, "Publisher").value_or("") != kGamePublisher)
            continue;

        // The first matching entry ends the search, whether or not it names a directory.
        if (const auto directory = ReadDirectory(source, entry, "InstallLocation")) {
            installDirectory = *directory;
            clientPortalPath = *directory + "client_portal.dat";
            clientLocalPath = *directory + "client_local_English.dat";
            clientHighResPath = *directory + "client_highres.dat";
            clientCellPath = *directory + "client_cell_1.dat";
        }
        break;
    }
}

} // namespace orvanel
