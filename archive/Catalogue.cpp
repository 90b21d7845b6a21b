#include "archive/DATArchive.h"

#include "archive/ByteOrder.h"
#include "archive/FileCodes.h"
#include "archive/Platform.h"
#include "archive/WalkedEntries.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <new>

namespace orvanel {

namespace {

// Stored textures carry their pixel format code at this offset.
constexpr size_t kTextureFormatOffset = 16;
constexpr size_t kTextureHead = kTextureFormatOffset + 4;
// Texture heads are read this many to a guarded run.
constexpr size_t kHeadsPerRun = 4096;

// An entry of a second walk that is not kept: its key was walked before.
constexpr uint32_t kNoPlace = 0xFFFFFFFF;

// The order in which to read the heads of textures whose first blocks lie at the given
// offsets: by offset, to within a few pages of the file, so that the reads sweep the file
// once instead of jumping about it. One counting pass; the ties keep the given order.
std::vector<uint32_t> FileOrder(const DATEntry* textures, size_t count, uint64_t archiveSize)
{
    const int bucketBits = std::clamp(int(std::bit_width(count)), 8, 16);
    const int shift = std::max(0, int(std::bit_width(archiveSize)) - bucketBits);
    const size_t buckets = size_t(archiveSize >> shift) + 1;
    auto bucketOf = [&](const DATEntry& entry) {
        return size_t(std::min<uint64_t>(entry.offset, archiveSize) >> shift);
    };
    std::vector<size_t> firstOf(buckets + 1);
    for (size_t k = 0; k < count; ++k)
        ++firstOf[bucketOf(textures[k]) + 1];
    for (size_t b = 0; b < buckets; ++b)
        firstOf[b + 1] += firstOf[b];
    std::vector<uint32_t> order(count);
    for (size_t k = 0; k < count; ++k)
        order[firstOf[bucketOf(textures[k])]++] = uint32_t(k);
    return order;
}

// The order and equality of entry keys, as function objects the sorts inline: the four
// fields packed into two numbers compare as the printed keys do.
struct KeyParts {
    uint64_t high;
    uint64_t low;
};

KeyParts PartsOf(const DATEntry& entry)
{
    return {uint64_t(entry.version) << 32 | entry.fileID, uint64_t(entry.offset) << 32 | entry.size};
}

constexpr auto KeyLess = [](const DATEntry& a, const DATEntry& b) {
    const KeyParts x = PartsOf(a), y = PartsOf(b);
    return x.high < y.high || (x.high == y.high && x.low < y.low);
};

constexpr auto KeyEqual = [](const DATEntry& a, const DATEntry& b) {
    const KeyParts x = PartsOf(a), y = PartsOf(b);
    return x.high == y.high && x.low == y.low;
};

uint8_t CategoryAt(const DATEntry& entry)
{
    return CategoryOf(entry.fileID);
}

} // namespace

const char* CategoryName(uint8_t category)
{
    switch (category) {
    case 0x01: return "Simple Objects";
    case 0x02: return "Complex Objects (comprised of simple objects)";
    case 0x03: return "Animations";
    case kCategoryColourTable: return "Color LookUp Tables";
    case kCategoryTexture: return "UI Graphics, Textures, etc.";
    case 0x09: return "Animation Strips";
    case kCategorySound: return "Sounds";
    case 0x0D: return "Dungeon Blocks";
    case 0x0E: return "Emotes, Skills, Creation, Quest Timers, etc.";
    case 0x0F: return "Lists of Color LookUp Tables";
    case 0x13: return "Calendar, Ambient Config, etc.";
    case 0x22: return "Datatypes, Enums, Commands, etc.";
    case 0x25: return "GUI Layout";
    case 0x27: return "Components, Gems, Materials, etc.";
    case kCategoryTextRecord: return "Help";
    default: return nullptr;
    }
}

const char* TextureFormatName(uint32_t formatCode)
{
    switch (formatCode) {
    case kTextureDXT1: return "DXT1";
    case kTextureDXT3: return "DXT3";
    case kTextureDXT5: return "DXT5";
    case kTextureGrey8:
    case kTextureGrey8Alt: return "8bit";
    case kTextureRGB24:
    case kTextureRGB24Alt: return "24bit";
    case kTextureRGBA32: return "32bit";
    case kTextureJPEG: return "JPEG";
    case kTextureIndexed8: return "8bit Indexed";
    case kTextureIndexed16: return "16bit Indexed";
    case kTextureGrey16:
    case kTextureGrey16Alt: return "16bit Greyscale";
    default: return "???";
    }
}

bool CDATArchive::BuildCatalogue()
{
    CBusyScope busy(*m_busy);
    ClearCatalogue();
    // A catalogue is whole or absent: running out of memory, or the file being cut short
    // under the walk, fails the open instead of leaving a shorter listing.
    DATWalkResult result = DATWalkResult::Done;
    try {
        {
            CWalkedEntries walked;
            if (!WalkDATDirectory(
                    Data(), *m_prompts, CWalkedEntries::Collect, uint32_t(m_fileStatus.length), &walked)) {
                ClearCatalogue();
                return false;
            }
            SortByID(walked, m_entries);
        }
        std::vector<uint32_t> sharedInWalkOrder;
        if (!BuildRecordsOfDistinctIDs()) {
            result = KeepDistinctVersions(sharedInWalkOrder);
            if (result == DATWalkResult::Done)
                BuildRecords();
        }
        if (result == DATWalkResult::Done)
            result = BuildLists(sharedInWalkOrder);
    } catch (const std::bad_alloc&) {
        result = DATWalkResult::OutOfMemory;
    }
    if (result == DATWalkResult::Done)
        return true;
    ClearCatalogue();
    m_prompts->Inform(
        UnableToLoadBecause(result == DATWalkResult::CutShort ? kCutShortReason : kOutOfMemoryReason));
    return false;
}

// Drops every entry whose key was walked before and puts the versions of each file ID, which
// the sort by ID left in walk order, into key order. An ID whose walked entries are all the
// same needs no sort: its first is kept. A category with an ID of several versions is
// "shared": its list is to be sorted from walk order (the order the list sort gives entries
// sharing an ID follows from it), and the sort by ID kept walk order only within each ID. So
// its entries are taken from a second walk of the directory instead, numbered by walk and
// sorted by ID, key and walk, so that of equal keys the first walked is the one kept;
// sharedInWalkOrder then receives their places in the array in walk order. Only archives with
// many-versioned IDs pay for this.
DATWalkResult CDATArchive::KeepDistinctVersions(std::vector<uint32_t>& sharedInWalkOrder)
{
    bool shared[256] = {};
    for (size_t first = 0; first < m_entries.size();) {
        size_t last = first + 1;
        for (; last < m_entries.size() && m_entries[last].fileID == m_entries[first].fileID; ++last) {
            if (!KeyEqual(m_entries[last], m_entries[first]))
                shared[CategoryAt(m_entries[first])] = true;
        }
        first = last;
    }

    struct Walked {
        DATEntry entry;
        uint32_t walkIndex;
    };
    struct Sharing {
        const bool* shared;
        std::vector<Walked> walked;
    } sharing {shared, {}};
    size_t sharedCount = 0;
    for (const DATEntry& entry : m_entries)
        sharedCount += shared[CategoryAt(entry)];
    if (sharedCount > 0) {
        // As many as the first walk found, so that the array never grows.
        sharing.walked.reserve(sharedCount);
        const auto collect = [](const DATEntry* entry, void* context) {
            Sharing& s = *static_cast<Sharing*>(context);
            if (s.shared[CategoryAt(*entry)])
                s.walked.push_back({*entry, uint32_t(s.walked.size())});
            return 1;
        };
        const DATWalkResult result = ForEachLiveEntry(Data(), collect, &sharing);
        if (result != DATWalkResult::Done)
            return result;
        // Ordered by ID, key and walk: the walk number makes the order whole, so that a sort
        // in place gives what a stable sort would, without a second array.
        std::sort(sharing.walked.begin(), sharing.walked.end(), [](const Walked& a, const Walked& b) {
            if (a.entry.fileID != b.entry.fileID)
                return a.entry.fileID < b.entry.fileID;
            if (!KeyEqual(a.entry, b.entry))
                return KeyLess(a.entry, b.entry);
            return a.walkIndex < b.walkIndex;
        });
        sharedInWalkOrder.assign(sharing.walked.size(), kNoPlace);
    }

    // Compacted in place: what is written never passes what is still to be read.
    const std::vector<Walked>& walked = sharing.walked;
    size_t kept = 0;
    size_t next = 0; // the next entry of the second walk
    for (size_t k = 0; k < m_entries.size(); ++k) {
        const DATEntry entry = m_entries[k];
        if (!shared[CategoryAt(entry)]) {
            if (kept == 0 || !KeyEqual(entry, m_entries[kept - 1]))
                m_entries[kept++] = entry;
            continue;
        }
        // The second walk must have found the same IDs as the first.
        if (next == walked.size() || walked[next].entry.fileID != entry.fileID)
            return DATWalkResult::CutShort;
        const Walked& w = walked[next++];
        if (next > 1 && KeyEqual(w.entry, walked[next - 2].entry))
            continue;
        sharedInWalkOrder[w.walkIndex] = uint32_t(kept);
        m_entries[kept++] = w.entry;
    }
    if (next != walked.size())
        return DATWalkResult::CutShort;
    m_entries.erase(m_entries.begin() + std::ptrdiff_t(kept), m_entries.end());
    return DATWalkResult::Done;
}

// Nearly every archive holds one entry per file ID. Its records are then built in the one pass
// over the entries that finds this, with nothing to drop or reorder. False, with no records,
// when an ID has several entries.
bool CDATArchive::BuildRecordsOfDistinctIDs()
{
    const size_t n = m_entries.size();
    m_fileRecords.reserve(n);
    uint32_t largest = 0;
    for (size_t k = 0; k < n; ++k) {
        const DATEntry& entry = m_entries[k];
        if (k > 0 && entry.fileID == m_entries[k - 1].fileID) {
            std::vector<DATFileRecord>().swap(m_fileRecords);
            return false;
        }
        m_fileRecords.emplace_back(entry.fileID, &entry, 1);
        largest = std::max(largest, entry.size);
    }
    m_largestFileSize = largest;
    return true;
}

void CDATArchive::BuildRecords()
{
    size_t ids = 0;
    for (size_t k = 0; k < m_entries.size(); ++k) {
        ids += k == 0 || m_entries[k].fileID != m_entries[k - 1].fileID;
        m_largestFileSize = std::max(m_largestFileSize, m_entries[k].size);
    }
    m_fileRecords.reserve(ids);
    for (size_t first = 0; first < m_entries.size();) {
        size_t end = first + 1;
        while (end < m_entries.size() && m_entries[end].fileID == m_entries[first].fileID)
            ++end;
        m_fileRecords.emplace_back(m_entries[first].fileID, &m_entries[first], uint32_t(end - first));
        first = end;
    }
}

// The category lists and the texture format lists. A list in which no two entries share a
// file ID has one order by ID, the order of the catalogue's array, so it is taken from there
// as it stands. Only a list of a category with a many-versioned ID needs the order the list
// sort gives entries sharing an ID, which follows from the walk order: such a list is
// gathered in walk order and sorted.
DATWalkResult CDATArchive::BuildLists(const std::vector<uint32_t>& sharedInWalkOrder)
{
    bool shared[256] = {};
    if (m_fileRecords.size() < m_entries.size()) {
        for (const DATFileRecord& record : m_fileRecords) {
            if (record.VersionCount() > 1)
                shared[record.m_category] = true;
        }
    }
    // The category is the top byte of the ID, so each category's entries lie side by side.
    size_t firstOf[257] = {};
    for (int c = 1; c < 256; ++c) {
        firstOf[c] = size_t(
            std::lower_bound(m_entries.begin() + std::ptrdiff_t(firstOf[c - 1]), m_entries.end(),
                uint32_t(c) << 24, [](const DATEntry& entry, uint32_t id) { return entry.fileID < id; })
            - m_entries.begin());
    }
    firstOf[256] = m_entries.size();
    for (int c = 0; c < 256; ++c) {
        const size_t count = firstOf[c + 1] - firstOf[c];
        if (count == 0)
            continue;
        DATEntryList& list = m_categoryLists[uint8_t(c)];
        list.reserve(count);
        if (!shared[c]) {
            for (size_t k = firstOf[c]; k < firstOf[c + 1]; ++k)
                list.push_back(&m_entries[k]);
        }
    }
    for (const uint32_t place : sharedInWalkOrder) {
        if (place != kNoPlace)
            m_categoryLists[CategoryAt(m_entries[place])].push_back(&m_entries[place]);
    }

    // The format code of every texture, from the heads read a batch to a guarded run, in the
    // order of the textures in the file.
    const size_t textures = firstOf[kCategoryTexture + 1] - firstOf[kCategoryTexture];
    const DATEntry* const firstTexture = m_entries.data() + firstOf[kCategoryTexture];
    std::vector<uint32_t> codes(textures);
    std::vector<uint8_t> complete(textures);
    {
        const std::vector<uint32_t> order = FileOrder(firstTexture, textures, Data().size());
        // Copies of the entries in file order: gathered in a loop of their own, whose loads
        // overlap, so that the reads of the heads do not wait on each entry in turn.
        std::vector<DATEntry> batch;
        std::vector<uint8_t> heads(std::min(textures, kHeadsPerRun) * kTextureHead);
        std::vector<uint8_t> read(std::min(textures, kHeadsPerRun));
        for (size_t first = 0; first < textures; first += kHeadsPerRun) {
            const size_t count = std::min(kHeadsPerRun, textures - first);
            batch.resize(count);
            for (size_t k = 0; k < count; ++k)
                batch[k] = firstTexture[order[first + k]];
            if (!ReadDATFileHeads(Data(), batch, kTextureHead, heads.data(), read.data()))
                return DATWalkResult::CutShort;
            for (size_t k = 0; k < count; ++k) {
                const uint32_t texture = order[first + k];
                complete[texture] = read[k];
                codes[texture] = ReadLE32(&heads[k * kTextureHead + kTextureFormatOffset]);
            }
        }
    }

    // A texture too short to hold a code is in no format list. The lists follow the texture
    // list's order: the array's, or the walk's when it is to be sorted.
    std::map<uint32_t, size_t> perFormat;
    for (size_t k = 0; k < textures; ++k) {
        if (complete[k])
            ++perFormat[codes[k]];
    }
    for (const auto& [format, count] : perFormat)
        m_textureFormatLists[format].reserve(count);
    if (textures > 0) {
        for (const DATEntry* entry : m_categoryLists.at(kCategoryTexture)) {
            const size_t k = size_t(entry - firstTexture);
            if (complete[k])
                m_textureFormatLists[codes[k]].push_back(entry);
        }
    }

    for (auto& [category, list] : m_categoryLists) {
        if (shared[category])
            SortEntriesByFileID(list);
    }
    if (shared[kCategoryTexture]) {
        for (auto& [format, list] : m_textureFormatLists)
            SortEntriesByFileID(list);
    }
    return DATWalkResult::Done;
}

void CDATArchive::ClearCatalogue()
{
    CBusyScope busy(*m_busy);
    m_categoryLists.clear();
    m_textureFormatLists.clear();
    std::vector<DATFileRecord>().swap(m_fileRecords);
    std::vector<DATEntry>().swap(m_entries);
    m_largestFileSize = 0;
}

std::string CDATArchive::CategoryLineLabel(uint8_t category) const
{
    const auto name = m_categoryNames.find(category);
    char label[256];
    std::snprintf(label, sizeof label, "%02X - %s", category,
        name == m_categoryNames.end() ? "???" : name->second.c_str());
    return label;
}

std::string CDATArchive::TextureFormatLineLabel(uint32_t formatCode) const
{
    char label[64];
    std::snprintf(
        label, sizeof label, "%02X - %08X - %s", kCategoryTexture, formatCode, TextureFormatName(formatCode));
    return label;
}

void CDATArchive::FillCategoryList(ICategorySelector& selector) const
{
    CBusyScope busy(*m_busy);
    selector.RemoveAllLines();
    const auto line = [](const std::string& label, const DATEntryList& list) {
        return label + " (" + std::to_string(int(list.size())) + " files)";
    };
    for (const auto& [category, list] : m_categoryLists) {
        const int index = selector.AppendLine(line(CategoryLineLabel(category), list));
        if (index >= 0)
            selector.SetLineData(index, &list);
        if (category != kCategoryTexture)
            continue;
        for (const auto& [format, formatList] : m_textureFormatLists) {
            const int formatIndex = selector.AppendLine(line(TextureFormatLineLabel(format), formatList));
            if (formatIndex >= 0)
                selector.SetLineData(formatIndex, &formatList);
        }
    }
}

const DATFileRecord* CDATArchive::FindFile(uint32_t fileID) const
{
    const auto found = std::lower_bound(m_fileRecords.begin(), m_fileRecords.end(), fileID,
        [](const DATFileRecord& record, uint32_t id) { return record.m_fileID < id; });
    return found != m_fileRecords.end() && found->m_fileID == fileID ? &*found : nullptr;
}

} // namespace orvanel
