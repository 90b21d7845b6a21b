#pragma once
// One file ID of the catalogue with its versions: the distinct directory entries that
// carry the ID, ordered by entry key.

#include "archive/DATFormat.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace orvanel {

// "%08X%08X%08X%08X" of version, file ID, offset and size: identifies one version of one
// stored file. Ordering keys as strings orders them as (version, ID, offset, size).
std::string MakeEntryKey(const DATEntry& entry);
// True when a's key orders before b's, without building the strings.
bool EntryKeyLess(const DATEntry& a, const DATEntry& b);

class DATFileRecord {
public:
    explicit DATFileRecord(uint32_t fileID)
        : m_fileID(fileID)
        , m_category(fileID >> 24)
    {
    }
    DATFileRecord(const DATFileRecord&) = delete;
    DATFileRecord& operator=(const DATFileRecord&) = delete;

    // Stores a copy of entry under its key unless that key is already present. Returns the
    // copy stored under the key (null when memory ran out); inserted tells whether it is new.
    const DATEntry* AddVersion(const DATEntry* entry, bool& inserted);
    // The index-th version in key order, or null when there are fewer.
    const DATEntry* GetVersion(size_t index) const;
    size_t VersionCount() const { return m_hasFirst ? 1 + m_others.size() : 0; }

    uint32_t m_fileID;
    uint32_t m_category;

private:
    struct KeyOrder {
        bool operator()(const DATEntry& a, const DATEntry& b) const { return EntryKeyLess(a, b); }
    };
    // Almost every file has exactly one version, so the first copy lives in the record itself
    // and only further versions are allocated, in a tree ordered by key: a file ID with many
    // versions costs O(log n) a version. Copies never move once stored: the catalogue's lists
    // point at them.
    bool m_hasFirst = false;
    DATEntry m_first;
    std::set<DATEntry, KeyOrder> m_others;
};

} // namespace orvanel
