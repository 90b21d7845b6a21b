#include "content/FileDescription.h"

#include "content/Captions.h"
#include "content/StoredContent.h"

namespace orvanel {

bool DescribeStoredFile(
    const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry, std::string& shown)
{
    uint32_t storedWord = 0;
    switch (CheckStoredID(bytes, entry, storedWord)) {
    case StoredIDCheck::TooShort: shown = "it is shorter than its ID"; return false;
    case StoredIDCheck::Differs: shown = BadFileMessage(entry.fileID, storedWord) + "\n"; return true;
    case StoredIDCheck::Matches: break;
    }
    StoredContent content;
    if (!DecodeStoredContent(archive, bytes, entry, content, shown))
        return false;
    shown = DescribeContent(content, bytes, entry);
    return true;
}

} // namespace orvanel
