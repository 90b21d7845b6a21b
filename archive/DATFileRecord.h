#pragma once
// One file ID of the catalogue with its versions: the distinct directory entries that
// carry the ID, ordered by entry key.

#include "archive/DATFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvanel {

// "%08X%08X%08X%08X" of version, file ID, offset and size: identifies one version of one
// stored file. Ordering keys as strings orders them as (version, ID, offset, size).
std::string MakeEntryKey(const DATEntry& entry);

class DATFileRecord {
public:
    explicit DATFileRecord(uint32_t fileID)
        : m_fileID(fileID)
        , m_category(fileID >> 24)
    {
    }

    // Stores a copy of entry under its key unless that key is already present. Returns the
    // copy stored under the key (null when memory ran out); inserted tells whether it is new.
    const DATEntry* AddVersion(const DATEntry* entry, bool& inserted);
    // The index-th version in key order, or null when there are fewer.
    const DATEntry* GetVersion(size_t index) const;
    size_t VersionCount() const { return m_versions.size(); }

    uint32_t m_fileID;
    uint32_t m_category;

private:
    // Kept sorted by entry key. Almost every file has a single version, so a sorted vector
    // is the ordered map here at a fraction of a tree's memory; the copies are
    // individually owned so that pointers to them stay valid while versions are added.
    std::vector<std::unique_ptr<DATEntry>> m_versions;
};

} // namespace orvanel
