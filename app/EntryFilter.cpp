#include "app/EntryFilter.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace orvanel {

namespace {

// The eight upper-case hexadecimal digits of an ID, as the list prints it.
void FormatID(uint32_t id, char digits[8])
{
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i, id >>= 4)
        digits[i] = kHex[id & 15];
}

// A size condition word; false when the word is not one.
bool ParseSizeCondition(std::string_view word, EntryQuery& query)
{
    if (word.empty() || (word[0] != '<' && word[0] != '>' && word[0] != '='))
        return false;
    const char relation = word[0];
    word.remove_prefix(1);
    bool inclusive = relation == '=';
    if (!word.empty() && word[0] == '=' && relation != '=') {
        inclusive = true;
        word.remove_prefix(1);
    }
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size())
        return false;
    if (relation == '>' || relation == '=')
        query.minSize = std::max(query.minSize, inclusive || value == UINT64_MAX ? value : value + 1);
    if (relation == '<' || relation == '=') {
        // "<0" matches nothing: the bounds then cross.
        const uint64_t bound = inclusive ? value : (value == 0 ? 0 : value - 1);
        query.maxSize = std::min(query.maxSize, bound);
        if (!inclusive && value == 0)
            query.minSize = std::max<uint64_t>(query.minSize, 1);
    }
    return true;
}

uint32_t KeyOf(const DATEntry& entry, SortKey key)
{
    switch (key) {
    case SortKey::ID: return entry.fileID;
    case SortKey::Version: return entry.version;
    case SortKey::Offset: return entry.offset;
    case SortKey::Size: return entry.size;
    }
    return 0;
}

} // namespace

bool EntryQuery::Matches(const DATEntry& entry) const
{
    if (!valid || entry.size < minSize || entry.size > maxSize)
        return false;
    if (idParts.empty())
        return true;
    char digits[8];
    FormatID(entry.fileID, digits);
    const std::string_view id(digits, 8);
    return std::all_of(idParts.begin(), idParts.end(),
        [id](const std::string& part) { return id.find(part) != std::string_view::npos; });
}

bool EntryQuery::Narrows(const EntryQuery& other) const
{
    if (!other.valid)
        return !valid;
    if (!valid)
        return true;
    if (minSize < other.minSize || maxSize > other.maxSize)
        return false;
    // Each of the other's parts must lie inside one of these.
    return std::all_of(other.idParts.begin(), other.idParts.end(), [this](const std::string& part) {
        return std::any_of(idParts.begin(), idParts.end(),
            [&part](const std::string& mine) { return mine.find(part) != std::string::npos; });
    });
}

EntryQuery ParseEntryQuery(std::string_view text)
{
    EntryQuery query;
    size_t at = 0;
    while (at < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        std::string_view word = text.substr(at, end - at);
        at = end;
        if (ParseSizeCondition(word, query))
            continue;
        if (word.size() >= 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
            word.remove_prefix(2);
        // A word of ID digits; more digits than an ID has, or any other character, matches
        // nothing rather than being ignored.
        std::string digits;
        for (char c : word) {
            if (!std::isxdigit(static_cast<unsigned char>(c)) || digits.size() == 8) {
                query.valid = false;
                return query;
            }
            digits += char(std::toupper(static_cast<unsigned char>(c)));
        }
        if (!digits.empty())
            query.idParts.push_back(std::move(digits));
    }
    if (query.minSize > query.maxSize)
        query.valid = false;
    return query;
}

SortOrder NextSortOrder(SortKey current, SortOrder order, SortKey clicked)
{
    if (order == SortOrder::Catalogue || current != clicked)
        return SortOrder::Ascending;
    return order == SortOrder::Ascending ? SortOrder::Descending : SortOrder::Catalogue;
}

void CEntryFilter::SetEntries(const DATEntryList* entries)
{
    m_entries = entries;
    Rebuild(false);
}

bool CEntryFilter::SetQuery(std::string_view text)
{
    EntryQuery query = ParseEntryQuery(text);
    const bool narrowing = !m_identity && query.Narrows(m_query);
    m_query = std::move(query);
    Rebuild(narrowing);
    return m_query.valid;
}

void CEntryFilter::SetSort(SortKey key, SortOrder order)
{
    m_sortKey = key;
    m_sortOrder = order;
    Rebuild(false);
}

void CEntryFilter::Rebuild(bool narrowing)
{
    m_identity = m_entries && m_query.IsEmpty() && m_sortOrder == SortOrder::Catalogue;
    if (!m_entries || m_identity) {
        m_rows.clear();
        m_rows.shrink_to_fit();
        return;
    }
    const DATEntryList& entries = *m_entries;
    if (narrowing) {
        // Typing one more character only drops rows: the kept ones stay in their order.
        std::erase_if(m_rows, [&](uint32_t index) { return !m_query.Matches(*entries[index]); });
        return;
    }
    m_rows.clear();
    m_rows.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] && m_query.Matches(*entries[i]))
            m_rows.push_back(uint32_t(i));
    }
    Sort();
}

void CEntryFilter::Sort()
{
    if (m_sortOrder == SortOrder::Catalogue)
        return;
    // Keys copied beside the indices keep the comparisons off the scattered entries; equal
    // keys keep the catalogue's order in both directions.
    const DATEntryList& entries = *m_entries;
    std::vector<std::pair<uint32_t, uint32_t>> keyed(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        keyed[i] = {KeyOf(*entries[m_rows[i]], m_sortKey), m_rows[i]};
    if (m_sortOrder == SortOrder::Ascending)
        std::sort(keyed.begin(), keyed.end());
    else
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_rows[i] = keyed[i].second;
}

size_t CEntryFilter::RowCount() const
{
    if (!m_entries)
        return 0;
    return m_identity ? m_entries->size() : m_rows.size();
}

const DATEntry* CEntryFilter::EntryAt(size_t row) const
{
    if (row >= RowCount())
        return nullptr;
    return (*m_entries)[m_identity ? row : m_rows[row]];
}

int64_t CEntryFilter::RowOfIndex(size_t index) const
{
    if (!m_entries || index >= m_entries->size())
        return -1;
    if (m_identity)
        return int64_t(index);
    const auto found = std::find(m_rows.begin(), m_rows.end(), uint32_t(index));
    return found == m_rows.end() ? -1 : int64_t(found - m_rows.begin());
}

int64_t CEntryFilter::RowOfEntry(const DATEntry* entry) const
{
    for (size_t row = 0, count = RowCount(); row < count; ++row) {
        if (EntryAt(row) == entry)
            return int64_t(row);
    }
    return -1;
}

} // namespace orvanel
