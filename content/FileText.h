#pragma once
// The texts a stored file is shown as: its raw bytes read as characters, or the text of a
// text record. Both read only the stored bytes they are given.

#include "archive/DATFormat.h"

#include <cstdint>
#include <span>
#include <string>

namespace orvanel {

// Each of the entry's bytes as one character, a zero byte as a space. False (text empty)
// without bytes or entry.
bool GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text);

// The text of a text record: after the 4-byte ID, a length of 1 to 4 bytes (most significant
// first, the top bit of the first byte marking the longer forms), then the text, which runs
// to the end of the record. False (text empty) without bytes or entry, and when no length
// width fits the record.
bool GetRecordText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text);

// The part of a text that is shown and exported: everything before its first zero byte.
std::string TextBeforeZero(const std::string& text);

// The same text with each line feed written as carriage return and line feed.
std::string WithCRLF(const std::string& text);

} // namespace orvanel
