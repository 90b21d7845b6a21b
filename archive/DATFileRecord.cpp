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

const DATEntry* DATFileRecord::AddVersion(const DATEntry* entry, bool& inserted)
{
    inserted = false;
    if (!entry)
        return nullptr;
    const auto key = KeyOf(*entry);
    auto at = std::lower_bound(m_versions.begin(), m_versions.end(), key,
        [](const std::unique_ptr<DATEntry>& v, const auto& k) { return KeyOf(*v) < k; });
    if (at != m_versions.end() && KeyOf(**at) == key)
        return at->get();
    try {
        auto copy = std::make_unique<DATEntry>(*entry);
        const DATEntry* stored = copy.get();
        m_versions.insert(at, std::move(copy));
        inserted = true;
        return stored;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const DATEntry* DATFileRecord::GetVersion(size_t index) const
{
    return index < m_versions.size() ? m_versions[index].get() : nullptr;
}

} // namespace orvanel
