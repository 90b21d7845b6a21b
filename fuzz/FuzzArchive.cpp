// The input is a whole archive file: open it, build the catalogue (answering Yes to the size
// question), fill a selector, then show and export every entry into a scratch folder, and
// compare the archive with itself.

#include "archive/ArchiveCompare.h"
#include "archive/DATArchive.h"
#include "content/FileDescription.h"
#include "content/FileExport.h"
#include "fuzz/FuzzSupport.h"
#include "writer/ArchiveBuilder.h"

#include <filesystem>

namespace {

// Takes every line as the desktop's selector does, so that FillCategoryList runs in full.
class CLineCounter final : public orvanel::ICategorySelector {
public:
    void RemoveAllLines() override { m_lines = 0; }
    int AppendLine(const std::string&) override { return m_lines++; }
    void SetLineData(int, const orvanel::DATEntryList*) override { }

private:
    int m_lines = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    // Yes to the size question, so that every input is walked.
    CSilentPrompts prompts(true);
    CNoBusyIndicator busy;
    const auto folder = fuzz::ScratchFolder();
    const std::string path = (folder / "archive.dat").string();
    const auto out = folder / "out";
    std::filesystem::create_directories(out);
    if (!writer::WriteWholeFile(path, std::span(data, size)))
        return 0;

    CDATArchive archive(path, prompts, busy);
    archive.BuildCatalogue();
    CLineCounter selector;
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
    CompareArchives(archive, archive);
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
    return 0;
}
