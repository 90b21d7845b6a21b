// The Windows registry, HKEY_LOCAL_MACHINE. Built on Windows only.

#include "archive/RegistrySource.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace orvanel {

namespace {

class CWindowsRegistry final : public IRegistrySource {
public:
    RegResult OpenKey(const std::string& path, RegKey& key) override
    {
        // Read access only: nothing here is ever written, and write access to
        // HKEY_LOCAL_MACHINE is refused to ordinary users. The game is a 32-bit program, so
        // its entries are in the 32-bit view, which a 64-bit build has to ask for; keys only
        // the 64-bit side has are looked for there next.
        HKEY handle = nullptr;
        LONG result =
            ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle);
        if (result == ERROR_FILE_NOT_FOUND)
            result =
                ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle);
        if (result != ERROR_SUCCESS)
            return result;
        key = reinterpret_cast<RegKey>(handle);
        return kRegSuccess;
    }

    RegResult QueryValue(
        RegKey key, const std::string& name, uint32_t& type, uint8_t* data, uint32_t& size) override
    {
        DWORD valueType = REG_NONE;
        DWORD bytes = data ? size : 0;
        const LONG result = ::RegQueryValueExA(Handle(key), name.c_str(), nullptr, &valueType, data, &bytes);
        if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
            type = valueType;
            size = bytes;
        }
        return result;
    }

    RegResult EnumKey(RegKey key, uint32_t index, std::string& name) override
    {
        char buffer[kRegMaxKeyNameLength + 1];
        DWORD length = sizeof(buffer);
        const LONG result =
            ::RegEnumKeyExA(Handle(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_SUCCESS)
            name.assign(buffer, length);
        return result;
    }

    void CloseKey(RegKey key) override { ::RegCloseKey(Handle(key)); }

    std::string HostPath(const std::string& windowsPath) const override { return windowsPath; }

private:
    static HKEY Handle(RegKey key) { return reinterpret_cast<HKEY>(key); }
};

} // namespace

std::unique_ptr<IRegistrySource> CreateDefaultRegistrySource()
{
    return std::make_unique<CWindowsRegistry>();
}

} // namespace orvanel
