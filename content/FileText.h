#pragma once
// The texts a stored file is shown as: its raw bytes read as characters, or the text of a
// text record. Both read only the stored bytes they are given.

#include "archive/DATFormat.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orvanel {

// How many bytes of a raw file are shown as text; the hex view shows the rest.
inline constexpr size_t kRawTextLimit = size_t(1) << 20;

// The entry's bytes read as Windows-1252 text, in UTF-8 (see ShownText), a zero byte as a
// space. Past kRawTextLimit bytes the text stops with a last line telling how many bytes
// follow. False (text empty) without bytes or entry.
bool GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text);

// Stored 8-bit text as UTF-8: the bytes are Windows-1252, the code page the data was written
// in. Control bytes other than tab, line feed and carriage return, and the five bytes that
// code page leaves unassigned, become a middle dot so that they stay visible.
std::string ShownText(std::string_view stored);

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
