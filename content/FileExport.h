#pragma once
// The export of stored files: each one written into a folder, named by its file ID, as the
// file view presents it: pictures as BMP, sounds as WAV, text records as text, everything
// else as its raw bytes.

#include "archive/DATArchive.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <unordered_set>

namespace orvanel {

class COutputFolder;

inline constexpr const char* kExportSummaryMessage =
    "One or more of the selected files were not saved because they are Bad/Corrupted.\n\n"
    "All other files were saved.";

enum class ExportOutcome {
    Saved,
    Bad,        // fails its ID check, cannot be read, or does not decode
    NotWritten, // good, but the folder or the disk refused it
};

struct ExportResult {
    size_t saved = 0;
    size_t bad = 0;
    size_t notWritten = 0;
    std::string reason; // the system's reason for the first file not written
    size_t Failed() const { return bad + notWritten; }
};

// What the user is told after an export: the Bad/Corrupted text when files were bad, and
// "N files could not be written to FOLDER: reason" when files could not be written (both,
// one paragraph each, when both happened). Empty when every file was saved.
std::string ExportSummaryText(const ExportResult& result, const std::string& folder);

// The names of the files of one export. The first version of an ID keeps "%08X.ext"; every
// further version is "%08X-v%08X.ext" with its version field, so that no file of the export
// replaces another. A file left by an earlier export is replaced all the same.
class CExportNames {
public:
    std::string NameFor(const DATEntry& entry);

private:
    std::unordered_set<std::string> m_used;
};

// Reads the entry's stored file and writes it into folder under name. A file that fails its
// ID check (category 0x08 exempt), is shorter than its ID or unreadable, is a picture or
// sound that does not load, or is a text record that no length fits is Bad; one the folder
// or the disk refuses is NotWritten with the system's reason. No empty or partial file is
// left behind, and an existing file of that name is replaced only by a complete one.
ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry,
    COutputFolder& folder, const std::string& name, std::string& reason);

// The same into the folder at folderPath, under the name of the entry's first version.
ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, const std::string& folderPath);

// Saves each entry in turn into the folder; progress (if given) hears (done, total) after
// each file, on the calling thread, and answers false to stop there. The files are written
// and named in order; with overlapped, the next file is converted on another thread while
// one is written. The files written are named in batches, so an export that dies before a
// batch is named leaves the older files of those names whole.
ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    COutputFolder& folder, const std::function<bool(size_t, size_t)>& progress = {},
    bool overlapped = true);
// The same into the folder at folderPath.
ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folderPath, const std::function<bool(size_t, size_t)>& progress = {});

} // namespace orvanel
