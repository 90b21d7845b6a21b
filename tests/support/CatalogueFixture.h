#pragma once
// Builds an archive file from stored files and opens it with its catalogue built.

#include "archive/DATArchive.h"
#include "tests/support/FakePrompts.h"
#include "writer/ArchiveBuilder.h"
#include "writer/TempDir.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvanel::fixture {

// Collects the category selector's lines with the lists attached to them.
class CRecordingSelector final : public ICategorySelector {
public:
    void RemoveAllLines() override
    {
        lines.clear();
        lists.clear();
    }
    int AppendLine(const std::string& text) override
    {
        lines.push_back(text);
        lists.push_back(nullptr);
        return int(lines.size()) - 1;
    }
    void SetLineData(int index, const DATEntryList* list) override { lists.at(size_t(index)) = list; }

    std::vector<std::string> lines;
    std::vector<const DATEntryList*> lists;
};

// The file IDs of the live entries a directory walk reports, in walk order.
inline std::vector<uint32_t> WalkFileIDs(std::span<const uint8_t> archive, uint32_t expectedSize)
{
    std::vector<uint32_t> ids;
    CFakePrompts prompts;
    WalkDATDirectory(
        archive, prompts,
        [](const DATEntry* e, void* ctx) {
            static_cast<std::vector<uint32_t>*>(ctx)->push_back(e->fileID);
            return 0;
        },
        expectedSize, &ids);
    return ids;
}

// Writes an archive into a temporary folder, with the builder or with a function that writes
// one at the path it is given, and opens it.
class COpenedArchive {
public:
    explicit COpenedArchive(const std::function<bool(const std::string&)>& write)
    {
        write(path);
        archive = std::make_unique<CDATArchive>(path, prompts, busy);
    }
    explicit COpenedArchive(const writer::CArchiveBuilder& builder)
        : COpenedArchive([&builder](const std::string& at) { return builder.WriteFile(at); })
    {
    }

    // What the archive told or asked; answers No unless a test says otherwise.
    CFakePrompts prompts;
    CNoBusyIndicator busy;
    CTempDir dir;
    std::string path = dir.File("test.dat");
    std::unique_ptr<CDATArchive> archive;
};

} // namespace orvanel::fixture
