#pragma once
// How a stored file is shown and exported, decided by the top byte of its file ID.

#include "archive/DATFormat.h"
#include "archive/FileCodes.h"

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

// The one table of the kinds: the category a kind is recognised by and the extension of its
// exported file. A category not listed is raw. How each kind is decoded, described and written
// is in StoredContent.cpp.
struct FileKindInfo {
    uint8_t category;
    FileKind kind;
    const char* extension;
};
inline constexpr FileKindInfo kFileKinds[] = {
    {kCategoryColourTable, FileKind::ColourTable, ".bmp"},
    {kCategoryTexture, FileKind::Texture, ".bmp"},
    {kCategoryTextRecord, FileKind::TextRecord, ".txt"},
    {kCategorySound, FileKind::Sound, ".wav"},
};
inline constexpr FileKindInfo kRawKind = {0, FileKind::Raw, ".bin"};

FileKind ClassifyFileID(uint32_t fileID);

// The file format exported pictures (textures and colour tables) are written in; sounds,
// texts and raw files are written the same way whatever the choice.
enum class ExportFormat {
    BMP,
    PNG, // with the texture's own alpha
};

// The extension an exported file of this kind gets: ".bin", ".bmp" (".png" for pictures
// exported as PNG), ".txt" or ".wav".
const char* ExportExtension(FileKind kind, ExportFormat format = ExportFormat::BMP);
bool IsPicture(FileKind kind);

enum class StoredIDCheck {
    Matches,  // the first word is the directory ID, or the category is exempt
    Differs,  // the file is bad: its first word is another ID
    TooShort, // fewer than 4 bytes: there is no word to compare
};

// Compares a stored file's first little-endian word with its directory ID; storedWord
// receives the word (0 when the file is too short).
StoredIDCheck CheckStoredID(std::span<const uint8_t> bytes, const DATEntry& entry, uint32_t& storedWord);

} // namespace orvanel
