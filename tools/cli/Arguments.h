#pragma once
// Parsing of the tool's numeric arguments.

#include <cstdint>
#include <string>

namespace orvanel::cli {

// A file ID in hexadecimal, with or without "0x": 1 to 8 digits, nothing else.
bool ParseFileID(const std::string& text, uint32_t& id);

// A non-negative decimal number that fits in 32 bits.
bool ParseIndex(const std::string& text, uint32_t& index);

} // namespace orvanel::cli
