#pragma once
// Reads the text Wine keeps a registry hive in (system.reg of a prefix): "[key]" sections
// followed by "name"=data lines, into a tree of keys held in memory.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvanel {

// ASCII case folding, as the registry compares key and value names.
std::string FoldRegistryName(std::string_view name);
// The names along a path split at any of the separators; empty ones (doubled or trailing
// separators) are skipped.
std::vector<std::string_view> SplitPath(std::string_view path, std::string_view separators);

class CWineHive {
public:
    struct Value {
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string name;
        std::vector<size_t> subkeys;                      // in the order they first appear
        std::unordered_map<std::string, size_t> children; // by case-folded name
        std::map<std::string, Value> values;              // by case-folded name
    };

    // The key at a "\"-separated path, names compared without regard to case; 0 is the root.
    std::optional<size_t> Find(std::string_view path) const;
    bool Contains(size_t key) const { return key < m_keys.size(); }
    const Key& At(size_t key) const { return m_keys[key]; }
    // The key at path, made with its missing parents.
    size_t Make(std::string_view path);
    void SetValue(size_t key, const std::string& name, uint32_t type, std::vector<uint8_t> data);
    // Rough count of the bytes the keys and values take, for bounding what a file may build.
    uint64_t Footprint() const { return m_footprint; }

private:
    // Empty until the first key is made, so that an empty hive costs no allocation.
    std::vector<Key> m_keys;
    uint64_t m_footprint = 0;
};

// Fills hive with the keys and values of the text. win64 tells whether the prefix is a 64-bit
// one (#arch=win64). False when the text is not a Wine registry (no header), or would build
// far more than any real registry does; lines Wine itself would reject are skipped, as Wine
// skips them.
bool ParseWineRegistry(std::string_view text, CWineHive& hive, bool& win64);

} // namespace orvanel
