#pragma once
// A registry kept in memory: keys with their subkeys in the order they were created, and
// their values. The Wine registry fills one from system.reg; tests fill one directly.

#include "archive/RegistrySource.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvanel {

// Limits of the Windows registry that also bound what a damaged file can make us build.
inline constexpr size_t kRegMaxKeyDepth = 512;
inline constexpr size_t kRegMaxStoredNameLength = 1024; // bytes of a key or value name

class CMemoryRegistry : public IRegistrySource {
public:
    CMemoryRegistry();
    ~CMemoryRegistry() override;
    CMemoryRegistry(const CMemoryRegistry&) = delete;
    CMemoryRegistry& operator=(const CMemoryRegistry&) = delete;

    // Creates the key and its missing parents; an existing key is left as it is. False when
    // the path is deeper than kRegMaxKeyDepth or has a name longer than kRegMaxStoredNameLength.
    bool CreateKey(const std::string& path);
    // Stores a value in the key (created when missing), replacing one of the same name.
    // An empty name is the key's default value. False when the key cannot be created or
    // the name is too long.
    bool SetValue(const std::string& keyPath, const std::string& name, uint32_t type,
        std::vector<uint8_t> data);
    // Stores text with its terminating zero.
    bool SetString(const std::string& keyPath, const std::string& name, const std::string& text,
        uint32_t type = kRegSz);
    bool SetDword(const std::string& keyPath, const std::string& name, uint32_t value);
    bool HasKey(const std::string& path) const;
    // Removes every key and value. Keys still open must still be closed; they find nothing.
    void Clear();
    // Keys opened and not yet closed.
    size_t OpenKeyCount() const;
    // Rough count of the bytes the keys and values take, for bounding what a file may build.
    uint64_t Footprint() const { return m_footprint; }

    RegResult OpenKey(const std::string& path, RegKey& key) override;
    RegResult QueryValue(RegKey key, const std::string& name, uint32_t& type, uint8_t* data,
        uint32_t& size) override;
    RegResult QueryDword(RegKey key, const std::string& name, uint32_t& type,
        uint32_t& value) override;
    RegResult EnumKey(RegKey key, uint32_t index, std::string& name) override;
    void CloseKey(RegKey key) override;
    // Paths are used as they stand.
    std::string HostPath(const std::string& windowsPath) const override;

private:
    struct Value {
        uint32_t type = kRegNone;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string name;
        std::vector<const Key*> subkeys; // in creation order
        std::unordered_map<std::string, std::unique_ptr<Key>> children; // by case-folded name
        std::map<std::string, Value> values;                            // by case-folded name
    };

    Key* MakeKey(const std::string& path);
    const Key* FindKey(const std::string& path) const;
    // The key an open handle stands for; null for a closed or unknown handle, or a key
    // removed since it was opened.
    const Key* OpenedKey(RegKey key) const;
    const Value* FindValue(RegKey key, const std::string& name, RegResult& result) const;

    std::unique_ptr<Key> m_root;
    // Open keys; handle n is slot n - 1. An empty slot is free; a null key is one that was
    // open when Clear removed it.
    std::vector<std::optional<const Key*>> m_open;
    uint64_t m_footprint = 0;
};

// ASCII case folding, as the registry compares key and value names.
std::string FoldRegistryName(const std::string& name);
// The names along a path split at any of the separators; empty ones (doubled or trailing
// separators) are skipped.
std::vector<std::string_view> SplitPath(std::string_view path, std::string_view separators);

} // namespace orvanel
