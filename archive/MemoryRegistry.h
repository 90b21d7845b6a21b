#pragma once
// A registry kept in memory: keys with their subkeys in the order they were created, and
// their values. The Wine registry fills one from system.reg; tests fill one directly.

#include "archive/RegistrySource.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvanel {

class CMemoryRegistry : public IRegistrySource {
public:
    CMemoryRegistry();
    ~CMemoryRegistry() override;
    CMemoryRegistry(const CMemoryRegistry&) = delete;
    CMemoryRegistry& operator=(const CMemoryRegistry&) = delete;

    // Creates the key and its missing parents; an existing key is left as it is.
    void CreateKey(const std::string& path);
    // Stores a value in the key (created when missing), replacing one of the same name.
    // An empty name is the key's default value.
    void SetValue(const std::string& keyPath, const std::string& name, uint32_t type,
        std::vector<uint8_t> data);
    // Stores text with its terminating zero.
    void SetString(const std::string& keyPath, const std::string& name, const std::string& text,
        uint32_t type = kRegSz);
    void SetDword(const std::string& keyPath, const std::string& name, uint32_t value);
    bool HasKey(const std::string& path) const;
    // Removes every key and value; keys still open stay open but find nothing.
    void Clear();
    // Keys opened and not yet closed.
    size_t OpenKeyCount() const;

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
        std::vector<const Key*> subkeys;       // in creation order
        std::map<std::string, Value> values;  // by case-folded name
    };

    Key& MakeKey(const std::string& path);
    const Key* FindKey(const std::string& path) const;
    const Value* FindValue(RegKey key, const std::string& name, RegResult& result) const;

    // Every key by its case-folded path ("software\\microsoft"); the root is "".
    std::unordered_map<std::string, std::unique_ptr<Key>> m_keys;
    // Open keys; handle n is slot n - 1, a closed slot holds its key's folded path cleared.
    std::vector<std::string> m_open;
    std::vector<bool> m_openInUse;
};

// ASCII case folding, as the registry compares key and value names.
std::string FoldRegistryName(const std::string& name);

} // namespace orvanel
