#pragma once
// How a stored file is shown and exported, decided by the top byte of its file ID.

#include "archive/DATFormat.h"

#include <cstdint>
#include <span>

namespace orvanel {

enum class FileKind : uint32_t {
    Raw = 2,
    ColourTable = 3,
    Texture = 4,
    TextRecord = 5,
    Sound = 6,
};

FileKind ClassifyFileID(uint32_t fileID);

// The extension an exported file of this kind gets: ".bin", ".bmp", ".txt" or ".wav".
const char* ExportExtension(FileKind kind);

// Files of this category never fail the check of their stored ID.
inline constexpr uint8_t kUncheckedCategory = 0x08;

enum class StoredIDCheck {
    Matches,  // the first word is the directory ID, or the category is exempt
    Differs,  // the file is bad: its first word is another ID
    TooShort, // fewer than 4 bytes: there is no word to compare
};

// Compares a stored file's first little-endian word with its directory ID; storedWord
// receives the word (0 when the file is too short).
StoredIDCheck CheckStoredID(std::span<const uint8_t> bytes, const DATEntry& entry,
    uint32_t& storedWord);

} // namespace orvanel
