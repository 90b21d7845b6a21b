#pragma once
// One file ID of the catalogue with its versions: the distinct directory entries that
// carry the ID, ordered by entry key.

#include "archive/DATFormat.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace orvanel {

// "%08X%08X%08X%08X" of version, file ID, offset and size: identifies one version of one
// stored file. Ordering keys as strings orders them as (version, ID, offset, size).
std::string MakeEntryKey(const DATEntry& entry);
// True when a's key orders before b's, without building the strings.
bool EntryKeyLess(const DATEntry& a, const DATEntry& b);
bool EntryKeyEqual(const DATEntry& a, const DATEntry& b);

class DATFileRecord {
public:
    // A record that gathers its versions one at a time with AddVersion.
    explicit DATFileRecord(uint32_t fileID) : m_fileID(fileID), m_category(fileID >> 24) { }
    // A record of the catalogue: its versions are count entry copies the catalogue holds, in
    // key order, one after the other.
    DATFileRecord(uint32_t fileID, const DATEntry* versions, uint32_t count)
        : m_fileID(fileID), m_category(fileID >> 24), m_run(versions), m_runCount(count)
    {
    }
    // Inline, since a catalogue's records own nothing: letting go of its many records is then
    // a test of one flag each, not a call each.
    ~DATFileRecord()
    {
        if (m_owns)
            FreeVersions();
    }
    DATFileRecord(DATFileRecord&& other) noexcept;
    DATFileRecord& operator=(DATFileRecord&& other) noexcept;
    DATFileRecord(const DATFileRecord&) = delete;
    DATFileRecord& operator=(const DATFileRecord&) = delete;

    // Stores a copy of entry under its key unless that key is already present. Returns the
    // copy stored under the key (null when memory ran out, or for a record of the catalogue,
    // which is built whole); inserted tells whether it is new. O(log n) a version.
    const DATEntry* AddVersion(const DATEntry* entry, bool& inserted);
    // The index-th version in key order, or null when there are fewer.
    const DATEntry* GetVersion(size_t index) const;
    size_t VersionCount() const { return m_owns ? m_added->size() : m_runCount; }

    uint32_t m_fileID;
    uint32_t m_category;

private:
    struct KeyOrder {
        bool operator()(const DATEntry& a, const DATEntry& b) const { return EntryKeyLess(a, b); }
    };
    using Versions = std::set<DATEntry, KeyOrder>;

    void FreeVersions();

    // A catalogue holds one record per file ID, so the record stays small: either the run of
    // the catalogue's copies or, for a record built with AddVersion, a tree of its own copies
    // (they never move once stored).
    union {
        const DATEntry* m_run = nullptr;
        Versions* m_added;
    };
    uint32_t m_runCount = 0;
    bool m_owns = false;
};

} // namespace orvanel
