#pragma once
// The registry the installation locator reads: keys of HKEY_LOCAL_MACHINE opened by path,
// their values and subkeys. One implementation per kind of store: the Windows registry
// (platform/WindowsRegistry.cpp) and a Wine prefix's system.reg (platform/WineRegistry.h).
// Results are the Windows system error codes.

#include <cstdint>
#include <memory>
#include <string>

namespace orvanel {

using RegResult = long;
inline constexpr RegResult kRegSuccess = 0;       // ERROR_SUCCESS
inline constexpr RegResult kRegNotFound = 2;      // ERROR_FILE_NOT_FOUND
inline constexpr RegResult kRegInvalidHandle = 6; // ERROR_INVALID_HANDLE
inline constexpr RegResult kRegInvalidData = 13;  // ERROR_INVALID_DATA
inline constexpr RegResult kRegMoreData = 234;    // ERROR_MORE_DATA
inline constexpr RegResult kRegNoMoreItems = 259; // ERROR_NO_MORE_ITEMS

// Value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Longest subkey name an enumeration returns, without its terminating zero.
inline constexpr uint32_t kRegMaxKeyNameLength = 255;

// An open key; 0 is never a valid one.
using RegKey = std::uintptr_t;

class IRegistrySource {
public:
    virtual ~IRegistrySource() = default;

    // Opens a key of HKEY_LOCAL_MACHINE by its path ("SOFTWARE\...\1.00"), for reading only.
    // Key names compare without regard to case.
    virtual RegResult OpenKey(const std::string& path, RegKey& key) = 0;
    // Reads a value's type and bytes into data, which holds size bytes; size becomes the
    // number of bytes the value has. kRegMoreData when the value is longer than the buffer.
    // An empty name reads the key's default value.
    virtual RegResult QueryValue(
        RegKey key, const std::string& name, uint32_t& type, uint8_t* data, uint32_t& size) = 0;
    // Name of the subkey number index; kRegNoMoreItems past the last one, kRegMoreData for
    // a name longer than kRegMaxKeyNameLength.
    virtual RegResult EnumKey(RegKey key, uint32_t index, std::string& name) = 0;
    virtual void CloseKey(RegKey key) = 0;

    // Turns a path as the registry's programs write it ("C:\Games\...") into one this system
    // can open; empty when it cannot be translated.
    virtual std::string HostPath(const std::string& windowsPath) const = 0;
};

// The registry of this platform: the Windows registry on Windows, elsewhere the system.reg
// of the user's Wine prefix. Made by the platform layer.
std::unique_ptr<IRegistrySource> CreateDefaultRegistrySource();

} // namespace orvanel
