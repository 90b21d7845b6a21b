#include "controls/HexDump.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <stdexcept>

namespace orvanel {

std::string FormatAddress(uint32_t address, uint32_t digits)
{
    char number[16];
    const int length = std::snprintf(number, sizeof number, "%X", static_cast<unsigned>(address));
    std::string text;
    if (digits > static_cast<uint32_t>(length))
        text.assign(digits - length, '0');
    text.append(number, length);
    return text;
}

uint32_t AddressDigitsFor(uint64_t highestAddress, uint32_t fewest)
{
    uint32_t digits = 1;
    for (uint64_t rest = highestAddress >> 4; rest != 0; rest >>= 4)
        ++digits;
    return std::max(digits, fewest);
}

std::string FormatHexDump(
    std::span<const uint8_t> data, uint32_t start, uint32_t end, const HexDumpOptions& options)
{
    if (data.empty() || start >= data.size() || start > end)
        return {};
    const uint64_t last = std::min<uint64_t>(end, data.size() - 1);
    const uint64_t perRow = std::max<uint32_t>(options.bytesPerRow, 1);

    try {
        // Row buffers: separators and the blanks in front of the first byte stay spaces,
        // each row overwrites only the cells of its own bytes.
        std::string hexRow(3 * perRow, ' ');
        std::string charRow(perRow, ' ');

        const uint64_t rows = last / perRow - start / perRow + 1;
        const uint32_t digits = AddressDigitsFor((data.size() - 1) / perRow * perRow, options.addressDigits);
        const uint64_t addressWidth = options.withAddress ? digits + 3 : 0;
        const uint64_t charWidth = options.withCharacters ? perRow + 3 : 0;
        std::string text;
        text.reserve(rows * (addressWidth + 3 * perRow - 1 + charWidth + 2));

        uint64_t column = start % perRow;
        for (uint64_t position = start; position <= last;) {
            if (options.withAddress) {
                text += FormatAddress(static_cast<uint32_t>(position), digits);
                text += "   ";
            }
            for (; column < perRow && position <= last; ++column, ++position) {
                PutHexByte(&hexRow[3 * column], data[position]);
                charRow[column] = PrintableOrDot(data[position]);
            }
            text.append(hexRow, 0, 3 * column - 1);
            if (options.withCharacters) {
                // Pad a short row so that the characters start 3 * perRow + 2 columns
                // after the hex text, as in every full row.
                text.append((perRow - column) * 3 + 3, ' ');
                text.append(charRow, 0, column);
            }
            text += options.crlf ? "\r\n" : "\n";
            column = 0;
        }
        return text;
    } catch (const std::bad_alloc&) {
        return {};
    } catch (const std::length_error&) {
        return {};
    }
}

} // namespace orvanel
