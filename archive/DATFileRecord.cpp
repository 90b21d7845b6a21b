#include "archive/DATFileRecord.h"

#include <cstdio>
#include <iterator>
#include <new>
#include <tuple>
#include <utility>

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
    std::snprintf(key, sizeof key, "%08X%08X%08X%08X", entry.version, entry.fileID, entry.offset, entry.size);
    return key;
}

bool EntryKeyLess(const DATEntry& a, const DATEntry& b)
{
    return KeyOf(a) < KeyOf(b);
}

bool EntryKeyEqual(const DATEntry& a, const DATEntry& b)
{
    return KeyOf(a) == KeyOf(b);
}

void DATFileRecord::FreeVersions()
{
    delete m_added;
}

DATFileRecord::DATFileRecord(DATFileRecord&& other) noexcept
    : m_fileID(other.m_fileID), m_category(other.m_category), m_runCount(other.m_runCount),
      m_owns(std::exchange(other.m_owns, false))
{
    if (m_owns)
        m_added = std::exchange(other.m_added, nullptr);
    else
        m_run = other.m_run;
}

DATFileRecord& DATFileRecord::operator=(DATFileRecord&& other) noexcept
{
    if (this != &other) {
        this->~DATFileRecord();
        new (this) DATFileRecord(std::move(other));
    }
    return *this;
}

const DATEntry* DATFileRecord::AddVersion(const DATEntry* entry, bool& inserted)
{
    inserted = false;
    if (!entry || (!m_owns && m_runCount > 0))
        return nullptr;
    try {
        if (!m_owns) {
            m_added = new Versions;
            m_owns = true;
        }
        const auto [at, added] = m_added->insert(*entry);
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
    if (!m_owns)
        return m_run + index;
    return &*std::next(m_added->begin(), std::ptrdiff_t(index));
}

} // namespace orvanel
