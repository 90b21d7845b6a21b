#pragma once
// The rows the archive list shows of one entry list: the entries whose ID contains the typed
// hexadecimal digits and whose size meets the typed conditions, in the catalogue's order or
// sorted by one column. Only an array of entry indices is kept, never a copy of the entries.

#include "archive/DATFormat.h"
#include "archive/EntrySort.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanel {

// What the user typed: hexadecimal ID digits (any part of the ID, "0x" allowed) and size
// conditions such as ">65536", "<100", ">=10", "<=10" or "=24", separated by spaces.
struct EntryQuery {
    std::vector<std::string> idParts; // upper case, without "0x"; each must be in the ID
    uint64_t minSize = 0;             // inclusive
    uint64_t maxSize = UINT32_MAX;    // inclusive
    bool valid = true;                // false when a word is neither: nothing then matches

    bool IsEmpty() const { return valid && idParts.empty() && minSize == 0 && maxSize == UINT32_MAX; }
    bool Matches(const DATEntry& entry) const;
    // Whether every entry matching this query also matches other.
    bool Narrows(const EntryQuery& other) const;
};

EntryQuery ParseEntryQuery(std::string_view text);

enum class SortOrder { Catalogue, Ascending, Descending };

// The columns of the archive list, in their order there.
enum class SortKey { ID, Version, Offset, Size };

// A header click: the clicked column sorts ascending, then descending, then back to the
// catalogue's order; clicking another column starts it ascending.
SortOrder NextSortOrder(SortKey current, SortOrder order, SortKey clicked);

class CEntryFilter {
public:
    // The list is borrowed; null holds no rows. Keeps the query and the sort.
    void SetEntries(const DATEntryList* entries);
    const DATEntryList* GetEntries() const { return m_entries; }
    // Returns whether the text parsed; rows are rebuilt either way.
    bool SetQuery(std::string_view text);
    const EntryQuery& GetQuery() const { return m_query; }
    void SetSort(SortKey key, SortOrder order);
    SortKey GetSortKey() const { return m_sortKey; }
    SortOrder GetSortOrder() const { return m_sortOrder; }

    // True while every entry is shown in the catalogue's order (no index array is kept then).
    bool IsIdentity() const { return m_identity; }
    size_t RowCount() const;
    size_t TotalCount() const { return m_entries ? m_entries->size() : 0; }
    // The entry shown at row, null outside the rows.
    const DATEntry* EntryAt(size_t row) const;
    // The row showing the list's entry at index, or -1 when it is filtered out.
    int64_t RowOfIndex(size_t index) const;
    // The row showing this very entry, or -1.
    int64_t RowOfEntry(const DATEntry* entry) const;

private:
    void Rebuild(bool narrowing);
    void Sort();

    const DATEntryList* m_entries = nullptr;
    EntryQuery m_query;
    SortKey m_sortKey = SortKey::ID;
    SortOrder m_sortOrder = SortOrder::Catalogue;
    bool m_identity = true;
    std::vector<uint32_t> m_rows;
};

} // namespace orvanel
