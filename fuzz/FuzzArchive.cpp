// The input is a whole archive file: open it, build the catalogue (answering Yes to the size
// question), fill a selector, then show and export every entry into a scratch folder.

#include "app/FileDescription.h"
#include "app/FileExport.h"
#include "archive/DATArchive.h"
#include "fuzz/FuzzSupport.h"

#include <filesystem>

namespace {

class CSelector final : public orvanel::ICategorySelector {
public:
    void RemoveAllLines() override { lists.clear(); }
    int AppendLine(const std::string&) override
    {
        lists.push_back(nullptr);
        return int(lists.size()) - 1;
    }
    void SetLineData(int index, const orvanel::DATEntryList* list) override { lists.at(size_t(index)) = list; }
    std::vector<const orvanel::DATEntryList*> lists;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    static fuzz::CYesPrompts prompts;
    SetUserPrompts(&prompts);
    const auto folder = fuzz::ScratchFolder();
    const std::string path = (folder / "archive.dat").string();
    const auto out = folder / "out";
    std::filesystem::create_directories(out);
    if (!fuzz::WriteWholeFile(path, data, size))
        return 0;

    CDATArchive archive(path);
    archive.BuildCatalogue();
    CSelector selector;
    archive.FillCategoryList(selector);
    for (const auto& [category, list] : archive.CategoryLists()) {
        for (const DATEntry* entry : list) {
            if (const auto bytes = archive.ReadFile(*entry)) {
                std::string shown;
                DescribeStoredFile(archive, *bytes, *entry, shown);
            }
            SaveStoredFile(&archive, entry, out.string());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
    return 0;
}
