#pragma once
// The export of stored files: each one written into a folder, named by its file ID, as the
// file view presents it: pictures as BMP, sounds as WAV, text records as text, everything
// else as its raw bytes.

#include "archive/DATArchive.h"

#include <cstddef>
#include <functional>
#include <string>

namespace orvanel {

inline constexpr const char* kExportSummaryMessage =
    "One or more of the selected files were not saved because they are Bad/Corrupted.\n\n"
    "All other files were saved.";

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The folder, a separator unless it already ends with one, and the ID as "%08X".
std::string ExportBaseName(const std::string& folder, uint32_t fileID);

// Reads the entry's stored file and writes it into folder. True only when the file was
// written completely. A file that fails its ID check (category 0x08 exempt), is shorter than
// its ID or unreadable, is a picture or sound that does not load, is a text record that no
// length fits, or cannot be written is not saved, and no empty or partial file is left behind; an existing file of that name is replaced only by a complete one.
bool SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, const std::string& folder);

// Saves each entry in turn; progress (if given) hears (done, total) after each file and
// answers false to stop there. Returns the number of files not saved.
size_t SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folder, const std::function<bool(size_t, size_t)>& progress = {});

} // namespace orvanel
