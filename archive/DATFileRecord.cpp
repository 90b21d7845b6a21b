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
    try {
        const auto [at, added] = m_others.insert(*entry);
        inserted = added;
        return &*at;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const DATEntry* DATFileRecord::GetVersion(size_t index) const
{
    if (index >= VersionCount())
        return nullptr;
    // The first copy sits among the others at its key's place.
    auto at = m_others.begin();
    bool firstPassed = false;
    for (size_t k = 0;; ++k) {
        const bool firstHere = !firstPassed && (at == m_others.end() || EntryKeyLess(m_first, *at));
        if (k == index)
            return firstHere ? &m_first : &*at;
        if (firstHere)
            firstPassed = true;
        else
            ++at;
    }
}

} // namespace orvanel
