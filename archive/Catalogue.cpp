#include "archive/DATArchive.h"

#include "archive/ByteOrder.h"
#include "archive/Platform.h"

#include <cstdio>
#include <new>

namespace orvanel {

namespace {

// Stored textures carry their pixel format code at this offset.
constexpr size_t kTextureFormatOffset = 16;

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
    case 0x04: return "Color LookUp Tables";
    case 0x06: return "UI Graphics, Textures, etc.";
    case 0x09: return "Animation Strips";
    case 0x0A: return "Sounds";
    case 0x0D: return "Dungeon Blocks";
    case 0x0E: return "Emotes, Skills, Creation, Quest Timers, etc.";
    case 0x0F: return "Lists of Color LookUp Tables";
    case 0x13: return "Calendar, Ambient Config, etc.";
    case 0x22: return "Datatypes, Enums, Commands, etc.";
    case 0x25: return "GUI Layout";
    case 0x27: return "Components, Gems, Materials, etc.";
    case 0x31: return "Help";
    default: return nullptr;
    }
}

const char* TextureFormatName(uint32_t formatCode)
{
    switch (formatCode) {
    case 0x31545844: return "DXT1";
    case 0x33545844: return "DXT3";
    case 0x35545844: return "DXT5";
    case 28:
    case 244: return "8bit";
    case 20:
    case 243: return "24bit";
    case 21: return "32bit";
    case 500: return "JPEG";
    case 41: return "8bit Indexed";
    case 101: return "16bit Indexed";
    case 23:
    case 26: return "16bit Greyscale";
    default: return "???";
    }
}

int CDATArchive::AddEntryCallback(const DATEntry* entry, void* context)
{
    static_cast<CDATArchive*>(context)->AddEntry(entry);
    return 1;
}

bool CDATArchive::BuildCatalogue()
{
    CBusyScope busy(*m_busy);
    ClearCatalogue();
    // A catalogue is whole or absent: running out of memory, or the file being cut short
    // under the walk, fails the open instead of leaving a shorter listing.
    try {
        // Sizing the record table first spares rehashing it as it grows; counting the live
        // entries costs a bare walk of the directory, a small part of the build.
        size_t live = 0;
        const DATWalkResult counted = ForEachLiveEntry(Data(), CountEntryCallback, &live);
        if (counted != DATWalkResult::Done) {
            m_prompts->Inform(UnableToLoadBecause(
                counted == DATWalkResult::CutShort ? kCutShortReason : kOutOfMemoryReason));
            return false;
        }
        m_fileRecords.reserve(live);
        if (!WalkDATDirectory(Data(), *m_prompts, AddEntryCallback,
                uint32_t(m_fileStatus.length), this)) {
            ClearCatalogue();
            return false;
        }
        for (auto& [category, list] : m_categoryLists)
            SortEntriesByFileID(list);
        for (auto& [format, list] : m_textureFormatLists)
            SortEntriesByFileID(list);
        return true;
    } catch (const std::bad_alloc&) {
        ClearCatalogue();
        m_prompts->Inform(UnableToLoadBecause(kOutOfMemoryReason));
        return false;
    }
}

void CDATArchive::ClearCatalogue()
{
    CBusyScope busy(*m_busy);
    m_categoryLists.clear();
    m_textureFormatLists.clear();
    m_fileRecords.clear();
}

DATFileRecord* CDATArchive::AddEntry(const DATEntry* entry)
{
    // Throws std::bad_alloc when memory runs out; the walk then fails.
    DATFileRecord* record = &m_fileRecords.try_emplace(entry->fileID, entry->fileID).first->second;
    bool inserted = false;
    const DATEntry* copy = record->AddVersion(entry, inserted);
    if (!copy)
        throw std::bad_alloc();
    if (!inserted)
        return record;

    m_categoryLists[uint8_t(record->m_category)].push_back(copy);
    if (record->m_category == 0x06) {
        // Only the format code is needed: copy the head of the stored texture, not all of it.
        // A texture too short to hold a code is in no format list.
        uint8_t head[kTextureFormatOffset + 4];
        const auto copied = ReadDATFileHead(Data(), *copy, head);
        if (copied && *copied == sizeof head)
            m_textureFormatLists[ReadLE32(head + kTextureFormatOffset)].push_back(copy);
    }
    return record;
}

void CDATArchive::FillCategoryList(ICategorySelector& selector) const
{
    CBusyScope busy(*m_busy);
    selector.RemoveAllLines();
    char line[256];
    for (const auto& [category, list] : m_categoryLists) {
        const auto name = m_categoryNames.find(category);
        std::snprintf(line, sizeof line, "%02X - %s (%d files)", category,
            name == m_categoryNames.end() ? "???" : name->second.c_str(), int(list.size()));
        const int index = selector.AppendLine(line);
        if (index >= 0)
            selector.SetLineData(index, &list);
        if (category != 0x06)
            continue;
        for (const auto& [format, formatList] : m_textureFormatLists) {
            std::snprintf(line, sizeof line, "%02X - %08X - %s (%d files)", category, format,
                TextureFormatName(format), int(formatList.size()));
            const int formatIndex = selector.AppendLine(line);
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
