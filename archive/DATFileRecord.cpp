#include "archive/DATFileRecord.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <tuple>

namespace orvanel {

namespace {

// Same order as comparing the entry keys as strings: the four fields are printed with the
// same width, so the string order is the order of the unsigned numbers.
auto KeyOf(const DATEntry& e)
{
    return std::make_tuple(e.version, e.fileID, e.offset, e.size);
}

} // namespace

std::string MakeEntryKey(const DATEntry& entry)
{
    char key[33];
    std::snprintf(key, sizeof key, "%08X%08X%08X%08X", entry.version, entry.fileID, entry.offset,
        entry.size);
    return key;
}

bool EntryKeyLess(const DATEntry& a, const DATEntry& b)
{
    return KeyOf(a) < KeyOf(b);
}

const DATEntry* DATFileRecord::AddVersion(const DATEntry* entry, bool& inserted)
{
    inserted = false;
    if (!entry)
        return nullptr;
    if (!m_hasFirst) {
        m_first = *entry;
        m_hasFirst = true;
        inserted = true;
        return &m_first;
    }
    if (KeyOf(m_first) == KeyOf(*entry))
        return &m_first;
    auto at = std::lower_bound(m_others.begin(), m_others.end(), *entry,
        [](const std::unique_ptr<DATEntry>& v, const DATEntry& e) { return EntryKeyLess(*v, e); });
    if (at != m_others.end() && KeyOf(**at) == KeyOf(*entry))
        return at->get();
    try {
        auto copy = std::make_unique<DATEntry>(*entry);
        const DATEntry* stored = copy.get();
        m_others.insert(at, std::move(copy));
        inserted = true;
        return stored;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const DATEntry* DATFileRecord::GetVersion(size_t index) const
{
    if (index >= VersionCount())
        return nullptr;
    // The first copy's place among the others, which are sorted.
    const auto firstAt = size_t(std::lower_bound(m_others.begin(), m_others.end(), m_first,
        [](const std::unique_ptr<DATEntry>& v, const DATEntry& e) { return EntryKeyLess(*v, e); })
        - m_others.begin());
    if (index == firstAt)
        return &m_first;
    return m_others[index < firstAt ? index : index - 1].get();
}

} // namespace orvanel
