#include "archive/DATArchive.h"

#include "archive/ByteOrder.h"
#include "archive/FileCodes.h"
#include "archive/Platform.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <memory>
#include <new>

namespace orvanel {

// The walked entries in walk order, collected in blocks of a fixed size: the walk needs no
// count beforehand, and nothing collected moves when more arrives.
class CWalkedEntries {
public:
    static int Collect(const DATEntry* entry, void* context)
    {
        static_cast<CWalkedEntries*>(context)->Add(*entry);
        return 1;
    }

    void Add(const DATEntry& entry)
    {
        if ((m_count & kBlockMask) == 0)
            m_blocks.push_back(std::make_unique_for_overwrite<DATEntry[]>(kBlockSize));
        m_blocks.back()[m_count & kBlockMask] = entry;
        ++m_count;
    }

    size_t Count() const { return m_count; }
    const DATEntry& operator[](size_t walkIndex) const
    {
        return m_blocks[walkIndex >> kBlockShift][walkIndex & kBlockMask];
    }

private:
    static constexpr size_t kBlockShift = 12;
    static constexpr size_t kBlockSize = size_t(1) << kBlockShift;
    static constexpr size_t kBlockMask = kBlockSize - 1;

    std::vector<std::unique_ptr<DATEntry[]>> m_blocks;
    size_t m_count = 0;
};

namespace {

// Stored textures carry their pixel format code at this offset.
constexpr size_t kTextureFormatOffset = 16;
constexpr size_t kTextureHead = kTextureFormatOffset + 4;
// Texture heads are read this many to a guarded run.
constexpr size_t kHeadsPerRun = 4096;
// The walk position of an entry whose key was walked before: it adds nothing.
constexpr uint32_t kDuplicate = 0xFFFFFFFF;

// An entry's place in the sort: its file ID above its walk position, so that ordering the
// keys orders by ID and, among equal IDs, by walk order.
uint32_t IDOfKey(uint64_t key)
{
    return uint32_t(key >> 32);
}

uint32_t WalkIndexOfKey(uint64_t key)
{
    return uint32_t(key);
}

// Sorts the keys by file ID with a least-significant-digit radix sort: stable, so entries
// sharing an ID stay in walk order, and linear in the number of entries. A digit that is the
// same in every ID (the top digit of an archive of one category, say) costs no pass.
void RadixSortByID(std::vector<uint64_t>& keys)
{
    size_t counts[4][257] = {};
    for (const uint64_t key : keys) {
        const uint32_t id = IDOfKey(key);
        ++counts[0][(id & 0xFF) + 1];
        ++counts[1][((id >> 8) & 0xFF) + 1];
        ++counts[2][((id >> 16) & 0xFF) + 1];
        ++counts[3][(id >> 24) + 1];
    }
    std::vector<uint64_t> scratch;
    for (int digit = 0; digit < 4; ++digit) {
        size_t* count = counts[digit];
        if (std::find(count + 1, count + 257, keys.size()) != count + 257)
            continue;
        if (scratch.empty())
            scratch.resize(keys.size());
        for (int d = 0; d < 256; ++d)
            count[d + 1] += count[d];
        const int shift = 32 + 8 * digit;
        for (const uint64_t key : keys)
            scratch[count[(key >> shift) & 0xFF]++] = key;
        keys.swap(scratch);
    }
}

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
        std::vector<uint32_t> walkPosition;
        {
            CWalkedEntries walked;
            if (!WalkDATDirectory(
                    Data(), *m_prompts, CWalkedEntries::Collect, uint32_t(m_fileStatus.length), &walked)) {
                ClearCatalogue();
                return false;
            }
            CollectEntries(walked, walkPosition);
        }
        BuildRecords();
        result = BuildLists(walkPosition);
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

// Puts the walked entries into (file ID, entry key) order and drops every entry whose key was
// walked before. When some file ID keeps several versions, walkPosition receives, for each
// entry in walk order, its place in the catalogue's array, or kDuplicate; otherwise it stays
// empty.
void CDATArchive::CollectEntries(const CWalkedEntries& walked, std::vector<uint32_t>& walkPosition)
{
    const size_t n = walked.Count();
    if (n >= kDuplicate)
        throw std::bad_alloc(); // more entries than positions can name
    std::vector<uint64_t> keys(n);
    for (size_t w = 0; w < n; ++w)
        keys[w] = uint64_t(walked[w].fileID) << 32 | w;
    RadixSortByID(keys);
    // The versions of one ID by key; the sort is stable, so of equal keys the first walked
    // comes first and is the one kept. Runs are short except in crafted archives, and even
    // then this is O(n log n).
    auto byKey = [&walked](uint64_t a, uint64_t b) {
        return EntryKeyLess(walked[WalkIndexOfKey(a)], walked[WalkIndexOfKey(b)]);
    };
    bool versions = false;
    for (size_t first = 0; first < n;) {
        size_t end = first + 1;
        while (end < n && IDOfKey(keys[end]) == IDOfKey(keys[first]))
            ++end;
        if (end - first > 1)
            std::stable_sort(keys.begin() + std::ptrdiff_t(first), keys.begin() + std::ptrdiff_t(end), byKey);
        first = end;
    }
    // Gathered into the catalogue's array in sorted order. A dropped duplicate keeps its key
    // with the position marked, for the walk positions below.
    m_entries.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        const DATEntry& entry = walked[WalkIndexOfKey(keys[k])];
        if (k > 0 && IDOfKey(keys[k]) == IDOfKey(keys[k - 1])) {
            if (EntryKeyEqual(entry, m_entries.back())) {
                keys[k] |= kDuplicate;
                continue;
            }
            versions = true;
        }
        m_entries.push_back(entry);
    }
    if (!versions)
        return;
    walkPosition.assign(n, kDuplicate);
    uint32_t position = 0;
    for (const uint64_t key : keys) {
        if (WalkIndexOfKey(key) != kDuplicate)
            walkPosition[WalkIndexOfKey(key)] = position++;
    }
}

void CDATArchive::BuildRecords()
{
    size_t ids = 0;
    for (size_t k = 0; k < m_entries.size(); ++k)
        ids += k == 0 || m_entries[k].fileID != m_entries[k - 1].fileID;
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
DATWalkResult CDATArchive::BuildLists(std::vector<uint32_t>& walkPosition)
{
    bool shared[256] = {};
    for (const DATFileRecord& record : m_fileRecords) {
        if (record.VersionCount() > 1)
            shared[record.m_category] = true;
    }
    size_t firstOf[257] = {};
    for (const DATEntry& entry : m_entries) {
        ++firstOf[CategoryAt(entry) + 1];
        m_largestFileSize = std::max(m_largestFileSize, entry.size);
    }
    for (int c = 0; c < 256; ++c)
        firstOf[c + 1] += firstOf[c];
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
    if (std::find(std::begin(shared), std::end(shared), true) != std::end(shared)) {
        for (uint32_t position : walkPosition) {
            if (position != kDuplicate && shared[CategoryAt(m_entries[position])])
                m_categoryLists[CategoryAt(m_entries[position])].push_back(&m_entries[position]);
        }
    }
    walkPosition = {};

    // The format code of every texture, from the heads read a batch to a guarded run, in the
    // order of the textures in the file.
    const size_t textures = firstOf[kCategoryTexture + 1] - firstOf[kCategoryTexture];
    const DATEntry* const firstTexture = m_entries.data() + firstOf[kCategoryTexture];
    std::vector<uint32_t> codes(textures);
    std::vector<uint8_t> complete(textures);
    {
        const std::vector<uint32_t> order = FileOrder(firstTexture, textures, Data().size());
        std::vector<const DATEntry*> batch;
        std::vector<uint8_t> heads(std::min(textures, kHeadsPerRun) * kTextureHead);
        std::vector<uint8_t> read(std::min(textures, kHeadsPerRun));
        for (size_t first = 0; first < textures; first += kHeadsPerRun) {
            const size_t count = std::min(kHeadsPerRun, textures - first);
            batch.resize(count);
            for (size_t k = 0; k < count; ++k)
                batch[k] = firstTexture + order[first + k];
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
