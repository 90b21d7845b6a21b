#pragma once
// Text of a hex dump, shared by the hex editor's painting and its copy to the clipboard.
// Plain C++ so that the exact text can be produced and checked without a window.

#include <cstdint>
#include <span>
#include <string>

namespace orvanel {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The character shown for a byte in the character column: the byte itself when it is
// printable ASCII, else a dot.
inline char PrintableOrDot(uint8_t byte)
{
    return byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
}

// Writes the two uppercase digits of a byte, high nibble first.
inline void PutHexByte(char* out, uint8_t byte)
{
    out[0] = kHexDigits[byte >> 4];
    out[1] = kHexDigits[byte & 0x0F];
}

// An address in uppercase hexadecimal, zero-padded to at least digits digits.
std::string FormatAddress(uint32_t address, uint32_t digits);

// The digits every address of a dump shows: as many as the highest address needs, and at
// least fewest, so that all rows keep one width.
uint32_t AddressDigitsFor(uint64_t highestAddress, uint32_t fewest);

struct HexDumpOptions {
    uint32_t bytesPerRow = 16;
    uint32_t addressDigits = 8; // the fewest; more when the data's addresses need them
    bool crlf = true;
    bool withAddress = false;    // each row begins with its address and three spaces
    bool withCharacters = false; // each row ends with the bytes as characters
};

// The dump of the inclusive byte range [start, end] of data, one line per row of
// bytesPerRow bytes. Addresses are as wide as the highest row address of all the data,
// as on screen. The first row keeps blanks in front of its first byte, so every
// byte stays under its column; a short last row is padded so that its characters line
// up with the rows above. start and end are limited to the data; a range that starts
// past the last byte, or empty data, gives an empty text, and so does running out of
// memory.
std::string FormatHexDump(
    std::span<const uint8_t> data, uint32_t start, uint32_t end, const HexDumpOptions& options);

} // namespace orvanel
