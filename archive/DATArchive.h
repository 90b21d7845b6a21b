#pragma once
// The open archive: its mapping, its file status and the catalogue built from its
// directory (every live entry copied and grouped by file ID, category and texture format).

#include "archive/DATFileRecord.h"
#include "archive/DATFormat.h"
#include "archive/DATReader.h"
#include "archive/EntrySort.h"
#include "archive/FileMapping.h"
#include "archive/Platform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvanel {

// The category selector the catalogue fills: a drop-down list of lines, each carrying
// the list it stands for.
class ICategorySelector {
public:
    virtual ~ICategorySelector() = default;
    virtual void RemoveAllLines() = 0;
    // Appends a line at the end, never sorted; returns its index, or a negative value on error.
    virtual int AppendLine(const std::string& text) = 0;
    virtual void SetLineData(int index, const DATEntryList* list) = 0;
};

// Description of a category, or null when it has none.
const char* CategoryName(uint8_t category);
// Name of a texture format code, "???" when unknown.
const char* TextureFormatName(uint32_t formatCode);

class CDATArchive {
public:
    // Maps the file read-only. Never fails outright: an unmappable file leaves the view
    // null, and BuildCatalogue then reports it. Messages and questions go to prompts, and
    // long steps show busy; both must outlive the archive.
    CDATArchive(std::string path, IUserPrompts& prompts, IBusyIndicator& busy);
    ~CDATArchive();
    CDATArchive(const CDATArchive&) = delete;
    CDATArchive& operator=(const CDATArchive&) = delete;

    // Walks the directory and groups every live entry. False when the archive could not be
    // loaded (no mapping, the file cut short under the walk, memory running out: the user is
    // told why) or the user declined the improper-archive question; the catalogue is then empty.
    bool BuildCatalogue();
    void ClearCatalogue();
    void FillCategoryList(ICategorySelector& selector) const;
    // The text of a selector line without its count of files: "0A - Sounds" for a category,
    // "06 - 31545844 - DXT1" for a texture format.
    std::string CategoryLineLabel(uint8_t category) const;
    std::string TextureFormatLineLabel(uint32_t formatCode) const;
    const DATFileRecord* FindFile(uint32_t fileID) const;

    // Copies one stored file out of this archive.
    std::optional<DATFileBytes> ReadFile(const DATEntry& entry) const { return ReadDATFile(Data(), entry); }

    const std::string& GetFileName() const { return m_fileName; }
    const uint8_t* GetView() const { return m_view; }
    // The mapped bytes (empty when the file could not be mapped).
    std::span<const uint8_t> Data() const { return {m_view, m_viewSize}; }
    const DATFileStatus& GetFileStatus() const { return m_fileStatus; }

    const std::map<uint8_t, DATEntryList>& CategoryLists() const { return m_categoryLists; }
    const std::map<uint32_t, DATEntryList>& TextureFormatLists() const { return m_textureFormatLists; }
    // One record per file ID, in ascending ID order.
    std::span<const DATFileRecord> FileRecords() const { return m_fileRecords; }
    const std::map<uint8_t, std::string>& CategoryNames() const { return m_categoryNames; }
    // The largest size word among the catalogued entries, so that a column of sizes can be
    // made wide enough without walking its rows.
    uint32_t LargestFileSize() const { return m_largestFileSize; }

private:
    // The steps of BuildCatalogue; each throws std::bad_alloc when memory runs out.
    DATWalkResult KeepDistinctVersions(std::vector<uint32_t>& sharedInWalkOrder);
    bool BuildRecordsOfDistinctIDs();
    void BuildRecords();
    DATWalkResult BuildLists(const std::vector<uint32_t>& sharedInWalkOrder);

    std::string m_fileName;
    IUserPrompts* m_prompts;
    IBusyIndicator* m_busy;
    const uint8_t* m_view = nullptr;
    size_t m_viewSize = 0;
    // The catalogue is a handful of blocks, whatever the number of entries: every distinct
    // live entry copied once into one array, in (file ID, entry key) order, so that a file
    // ID's versions lie side by side; one record per file ID in a second array, found by
    // binary search; and the lists of pointers into the first. None of them moves once built,
    // so everything handed out stays where it is until the catalogue is cleared.
    std::vector<DATEntry> m_entries;
    std::vector<DATFileRecord> m_fileRecords;
    std::map<uint8_t, DATEntryList> m_categoryLists;
    std::map<uint8_t, std::string> m_categoryNames;
    std::map<uint32_t, DATEntryList> m_textureFormatLists;
    DATFileStatus m_fileStatus;
    uint32_t m_largestFileSize = 0;
};

} // namespace orvanel
