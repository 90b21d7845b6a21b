#include "content/FileText.h"

#include <algorithm>

namespace orvanel {

namespace {

// The stored bytes an entry speaks for: never more than were actually read.
std::span<const uint8_t> EntryBytes(std::span<const uint8_t> bytes, const DATEntry& entry)
{
    return bytes.first(std::min<size_t>(bytes.size(), entry.size));
}

} // namespace

bool GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text)
{
    text.clear();
    if (!entry || bytes.data() == nullptr)
        return false;
    const auto stored = EntryBytes(bytes, *entry);
    text.reserve(stored.size());
    for (uint8_t byte : stored)
        text.push_back(byte == 0 ? ' ' : char(byte));
    return true;
}

bool GetRecordText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text)
{
    text.clear();
    if (!entry || bytes.data() == nullptr)
        return false;
    const auto stored = EntryBytes(bytes, *entry);
    if (stored.size() <= 4)
        return false;
    const auto body = stored.subspan(4);
    const uint64_t n = body.size();

    // Try length widths k = 1, 2, ...: the first k bytes, most significant first, keeping the
    // low 32 bits and then the low 7, 15, 23 or 31 bits by k's place in the cycle of four.
    // The width found is the one whose length equals what follows it.
    uint32_t value = 0;
    for (uint64_t k = 1; k <= n; ++k) {
        value = (value << 8) | body[k - 1];
        static constexpr uint32_t kMasks[4] = {0x7FFFFFFF, 0x7F, 0x7FFF, 0x7FFFFF};
        if ((value & kMasks[k % 4]) == n - k) {
            const auto textBytes = body.subspan(size_t(k));
            text.assign(textBytes.begin(), textBytes.end());
            return true;
        }
    }
    return false;
}

std::string TextBeforeZero(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

std::string WithCRLF(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

} // namespace orvanel
