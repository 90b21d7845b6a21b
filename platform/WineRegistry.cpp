#include "platform/WineRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>
#include <vector>

namespace orvanel {

namespace fs = std::filesystem;

namespace {

// The whole file, or nothing when it is missing, unreadable, not a regular file or too large.
std::optional<std::string> ReadRegistryFile(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxWineRegistrySize)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    try {
        text.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    in.read(text.data(), std::streamsize(size));
    if (uintmax_t(in.gcount()) != size)
        return std::nullopt; // shortened while being read
    return text;
}

// The directory entry named like name without regard to case; the first in byte order when
// several are.
std::optional<std::string> FindWithoutCase(const fs::path& directory, const std::string& name)
{
    const std::string wanted = FoldRegistryName(name);
    std::optional<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (FoldRegistryName(entry) == wanted && (!found || entry < *found))
            found = entry;
    }
    return found;
}

} // namespace

CWineRegistry::CWineRegistry(fs::path prefix) : m_prefix(std::move(prefix))
{
    if (m_prefix.empty())
        return;
    if (const auto text = ReadRegistryFile(m_prefix / "system.reg"))
        Load(*text);
}

bool CWineRegistry::Load(std::string_view text)
{
    m_hive = CWineHive();
    m_win64 = false;
    try {
        m_loaded = ParseWineRegistry(text, m_hive, m_win64);
    } catch (const std::bad_alloc&) {
        m_loaded = false;
    }
    if (!m_loaded) {
        m_hive = CWineHive();
        m_win64 = false;
    }
    return m_loaded;
}

RegResult CWineRegistry::OpenKey(const std::string& path, RegKey& key)
{
    const std::string folded = FoldRegistryName(path);
    std::optional<size_t> found;
    if (m_win64 && folded.starts_with("software\\") && !folded.starts_with("software\\wow6432node\\"))
        found = m_hive.Find("SOFTWARE\\Wow6432Node\\" + path.substr(9));
    if (!found)
        found = m_hive.Find(path);
    if (!found)
        return kRegNotFound;
    key = RegKey(*found) + 1;
    return kRegSuccess;
}

const CWineHive::Key* CWineRegistry::KeyOf(RegKey key) const
{
    return key != 0 && m_hive.Contains(size_t(key - 1)) ? &m_hive.At(size_t(key - 1)) : nullptr;
}

RegResult CWineRegistry::QueryValue(
    RegKey key, const std::string& name, uint32_t& type, uint8_t* data, uint32_t& size)
{
    const CWineHive::Key* owner = KeyOf(key);
    if (!owner)
        return kRegInvalidHandle;
    const auto found = owner->values.find(FoldRegistryName(name));
    if (found == owner->values.end())
        return kRegNotFound;
    const std::vector<uint8_t>& bytes = found->second.data;
    const uint32_t capacity = size;
    type = found->second.type;
    size = uint32_t(std::min<size_t>(bytes.size(), UINT32_MAX));
    if (bytes.size() > capacity)
        return kRegMoreData;
    if (!bytes.empty())
        std::memcpy(data, bytes.data(), bytes.size());
    return kRegSuccess;
}

RegResult CWineRegistry::EnumKey(RegKey key, uint32_t index, std::string& name)
{
    const CWineHive::Key* owner = KeyOf(key);
    if (!owner)
        return kRegInvalidHandle;
    if (index >= owner->subkeys.size())
        return kRegNoMoreItems;
    const std::string& found = m_hive.At(owner->subkeys[index]).name;
    if (found.size() > kRegMaxKeyNameLength)
        return kRegMoreData;
    name = found;
    return kRegSuccess;
}

std::string CWineRegistry::HostPath(const std::string& windowsPath) const
{
    if (m_prefix.empty() || windowsPath.size() < 2 || windowsPath[1] != ':')
        return {};
    const char drive = FoldRegistryName(windowsPath.substr(0, 1))[0];
    if (drive < 'a' || drive > 'z')
        return {};
    std::error_code error;
    fs::path host = fs::canonical(m_prefix / "dosdevices" / (std::string(1, drive) + ":"), error);
    if (error || !fs::is_directory(host, error))
        return {};

    // Windows reads "." and ".." in the text of the path, never above the drive's root.
    std::vector<std::string> components;
    for (std::string_view component : SplitPath(std::string_view(windowsPath).substr(2), "\\/")) {
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (component != ".") {
            components.emplace_back(component);
        }
    }

    // What matches nothing is kept as written, for the open to fail on.
    for (const std::string& component : components)
        host /= fs::exists(host / component, error) ? component
                                                    : FindWithoutCase(host, component).value_or(component);
    return host.string();
}

fs::path DefaultWinePrefix()
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix)
        return prefix;
    const char* home = std::getenv("HOME");
    if (home && *home)
        return fs::path(home) / ".wine";
    return {};
}

std::unique_ptr<IRegistrySource> CreateDefaultRegistrySource()
{
    return std::make_unique<CWineRegistry>(DefaultWinePrefix());
}

} // namespace orvanel
