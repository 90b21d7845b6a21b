// The two text builders on any stored bytes, with the entry's size taken from the input
// too, so that entries claiming more bytes than were read are covered.

#include "archive/ByteOrder.h"
#include "content/FileText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    if (size < 4)
        return 0;
    DATEntry entry;
    entry.fileID = 0x31000000;
    entry.size = ReadLE32(data);
    const std::span<const uint8_t> bytes(data + 4, size - 4);
    std::string text;
    GetRecordText(bytes, &entry, text);
    if (text.size() > bytes.size())
        __builtin_trap();
    // Raw text is shown as UTF-8: at most three bytes for each stored byte, and a last line
    // when the text is cut short.
    GetRawText(bytes, &entry, text);
    if (text.size() > 3 * bytes.size() + 128)
        __builtin_trap();
    WithCRLF(TextBeforeZero(text));
    return 0;
}
