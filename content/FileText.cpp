#include "content/FileText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace orvanel {

namespace {

// The stored bytes an entry speaks for: never more than were actually read.
std::span<const uint8_t> EntryBytes(std::span<const uint8_t> bytes, const DATEntry& entry)
{
    return bytes.first(std::min<size_t>(bytes.size(), entry.size));
}

// The Unicode characters of Windows-1252's bytes 0x80 to 0x9F; 0 where it assigns none.
constexpr char16_t kHighControls[32] = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

constexpr char16_t kMiddleDot = 0x00B7;

struct Utf8Char {
    char bytes[3];
    uint8_t length;
};

constexpr Utf8Char EncodeUtf8(char16_t c)
{
    if (c < 0x80)
        return {{char(c), 0, 0}, 1};
    if (c < 0x800)
        return {{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0}, 2};
    return {{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))}, 3};
}

constexpr char16_t ShownCharacter(uint8_t byte)
{
    if (byte < 0x20)
        return byte == '\t' || byte == '\n' || byte == '\r' ? byte : kMiddleDot;
    if (byte == 0x7F)
        return kMiddleDot;
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : kMiddleDot;
    return byte;
}

// Each byte's UTF-8 form, made once so that a megabyte converts in a few milliseconds.
constexpr std::array<Utf8Char, 256> kShownBytes = [] {
    std::array<Utf8Char, 256> table {};
    for (int byte = 0; byte < 256; ++byte)
        table[size_t(byte)] = EncodeUtf8(ShownCharacter(uint8_t(byte)));
    return table;
}();

void AppendShown(std::string& text, std::span<const uint8_t> stored, bool zeroAsSpace)
{
    text.reserve(text.size() + stored.size() + stored.size() / 2);
    for (uint8_t byte : stored) {
        const Utf8Char& c = kShownBytes[byte == 0 && zeroAsSpace ? ' ' : byte];
        text.append(c.bytes, c.length);
    }
}

} // namespace

std::string ShownText(std::string_view stored)
{
    std::string text;
    AppendShown(text, {reinterpret_cast<const uint8_t*>(stored.data()), stored.size()}, false);
    return text;
}

bool GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text)
{
    text.clear();
    if (!entry || bytes.data() == nullptr)
        return false;
    const auto stored = EntryBytes(bytes, *entry);
    AppendShown(text, stored.first(std::min(stored.size(), kRawTextLimit)), true);
    if (stored.size() > kRawTextLimit) {
        text += "\n[" + std::to_string(stored.size() - kRawTextLimit)
            + " more bytes follow; the hex view shows them all]";
    }
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
