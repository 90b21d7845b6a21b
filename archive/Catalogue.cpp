#include "archive/DATArchive.h"

#include "archive/ByteOrder.h"
#include "archive/FileCodes.h"
#include "archive/Platform.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace orvanel {

namespace {

// Stored textures carry their pixel format code at this offset.
constexpr size_t kTextureFormatOffset = 16;

int AddEntryCallback(const DATEntry* entry, void* context)
{
    static_cast<CDATArchive*>(context)->AddEntry(entry);
    return 1;
}

int CountEntryCallback(const DATEntry*, void* context)
{
    ++*static_cast<size_t*>(context);
    return 1;
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
    // Sizing the record table first spares rehashing it as it grows; counting the live
    // entries costs a bare walk of the directory, a small part of the build.
    size_t live = 0;
    ForEachLiveEntry(Data(), CountEntryCallback, &live);
    try {
        m_fileRecords.reserve(live);
    } catch (const std::bad_alloc&) {
    }
    const bool walked = WalkDATDirectory(Data(), *m_prompts, AddEntryCallback,
        uint32_t(m_fileStatus.length), this);
    for (auto& [category, list] : m_categoryLists)
        SortEntriesByFileID(list);
    for (auto& [format, list] : m_textureFormatLists)
        SortEntriesByFileID(list);
    return walked;
}

void CDATArchive::ClearCatalogue()
{
    CBusyScope busy(*m_busy);
    m_categoryLists.clear();
    m_textureFormatLists.clear();
    m_fileRecords.clear();
    m_largestFileSize = 0;
}

DATFileRecord* CDATArchive::AddEntry(const DATEntry* entry)
{
    if (!entry)
        return nullptr;
    DATFileRecord* record = nullptr;
    try {
        record = &m_fileRecords.try_emplace(entry->fileID, entry->fileID).first->second;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }

    bool inserted = false;
    const DATEntry* copy = record->AddVersion(entry, inserted);
    if (!inserted)
        return record;
    m_largestFileSize = std::max(m_largestFileSize, copy->size);

    try {
        m_categoryLists[uint8_t(record->m_category)].push_back(copy);
    } catch (const std::bad_alloc&) {
        // The copy stays in its record but is missing from the list.
    }

    if (record->m_category == kCategoryTexture) {
        // Only the format code is needed: copy the head of the stored texture, not all of it.
        // A texture too short to hold a code is in no format list.
        uint8_t head[kTextureFormatOffset + 4];
        const auto copied = ReadDATFileHead(Data(), *copy, head);
        if (copied && *copied == sizeof head) {
            try {
                m_textureFormatLists[ReadLE32(head + kTextureFormatOffset)].push_back(copy);
            } catch (const std::bad_alloc&) {
            }
        }
    }
    return record;
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
    std::snprintf(label, sizeof label, "%02X - %08X - %s", 0x06, formatCode, TextureFormatName(formatCode));
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
    const auto found = m_fileRecords.find(fileID);
    return found == m_fileRecords.end() ? nullptr : &found->second;
}

} // namespace orvanel
