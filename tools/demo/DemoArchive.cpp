#include "tools/demo/DemoArchive.h"

#include "tools/demo/DemoFiles.h"

#include "archive/ByteOrder.h"

#include <exception>

namespace orvanel::demo {

using writer::FileSpec;

namespace {

// A dungeon block whose chain carries fewer bytes than its directory entry claims: the reader
// fills the rest with zeros.
constexpr uint32_t kShortChainID = 0x0D000002;
constexpr uint32_t kShortChainStored = 1500;
constexpr uint32_t kShortChainClaimed = 4000;

FileSpec ShortChainFile()
{
    std::vector<uint8_t> payload(kShortChainStored - 4);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t('A' + i % 26);
    return {kShortChainID, writer::StoredFile(kShortChainID, payload)};
}

void Append(std::vector<FileSpec>& to, std::vector<FileSpec> files)
{
    for (FileSpec& file : files)
        to.push_back(std::move(file));
}

} // namespace

bool WriteDemoArchive(const std::string& path)
{
    try {
        // The short chain goes first: the root node keeps the first entries, so its entry is
        // the root's slot 0, whose size is raised once the tree is written.
        std::vector<FileSpec> files = {ShortChainFile()};
        Append(files, DemoRawFiles());
        Append(files, DemoColourTables());
        Append(files, DemoTextures());
        Append(files, DemoSounds());
        Append(files, DemoTexts());
        Append(files, DemoOddFiles());

        writer::CArchiveBuilder builder(kDemoBlockSize);
        // Three entries and three branches per node give a tree four levels deep, so that the
        // walk has to descend through every level to find the files.
        builder.AddFilesAsTree(files, {3, 3});
        builder.Poke32(builder.Root() + kDATSlotsOffset + 12, kShortChainClaimed);
        return builder.WriteFile(path);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace orvanel::demo
