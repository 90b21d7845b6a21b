#pragma once
// The export of stored files: each one written into a folder, named by its file ID, as the
// file view presents it: pictures as BMP, sounds as WAV, text records as text, everything
// else as its raw bytes.

#include "archive/DATArchive.h"
#include "content/FileKind.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

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

// Why one file was not saved.
enum class NotSavedCause {
    BadID,         // its first word is another ID, or it is too short to hold one
    Unreadable,    // its blocks cannot be read from the archive
    DoesNotDecode, // a picture, sound or text record that yields nothing
    NotWritten,    // the folder or the disk refused it
};

struct NotSavedFile {
    uint32_t fileID = 0;
    NotSavedCause cause = NotSavedCause::BadID;
    std::string reason; // the detail: the stored word, or the system's reason
};

struct ExportResult {
    // The summary names at most this many of the files not saved.
    static constexpr size_t kNamedFiles = 10;

    size_t saved = 0;
    size_t bad = 0;
    size_t notWritten = 0;
    std::string reason; // the system's reason for the first file not written
    // Files never reached because the export was cancelled before them.
    size_t notReached = 0;
    // The first kNamedFiles files not saved, in the order they were met.
    std::vector<NotSavedFile> notSaved;
    size_t Failed() const { return bad + notWritten; }
    // Adds the counts and named files of another part of the same export.
    void Add(const ExportResult& other);
};

// What the user is told after an export: empty when every file was saved. Otherwise the
// Bad/Corrupted text first when files were bad, then how many files could not be written with
// the system's reason for the first, then how many files were not saved and a
// line for each of the first ten: its ID and why ("bad ID", "cannot be read from the
// archive", "does not decode", "could not be written to FOLDER: " and the system's reason),
// and how many more there were.
std::string ExportSummaryText(const ExportResult& result, const std::string& folder);

// The status bar's line after an export: "Saved N files to FOLDER", with ", K not saved"
// when some were not, and "; cancelled before M more" when it was cancelled before the last.
std::string ExportStatusText(const ExportResult& result, const std::string& folder);

// The names of the files of one export. The first version of an ID keeps "%08X.ext"; every
// further version is "%08X-v%08X.ext" with its version field, so that no file of the export
// replaces another. A file left by an earlier export is replaced all the same.
class CExportNames {
public:
    explicit CExportNames(ExportFormat format = ExportFormat::BMP) : m_format(format) { }
    std::string NameFor(const DATEntry& entry);

private:
    ExportFormat m_format;
    std::unordered_set<std::string> m_used;
};

// Reads the entry's stored file and writes it into folder under name, pictures in format. A file that fails
// its ID check (category 0x08 exempt), is shorter than its ID or unreadable, is a picture or sound that does
// not load, or is a text record that no length fits is Bad; one the folder or the disk refuses is NotWritten
// with the system's reason. No empty or partial file is left behind, and an existing file of that name is
// replaced only by a complete one.
ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, COutputFolder& folder,
    const std::string& name, std::string& reason, ExportFormat format = ExportFormat::BMP);

// The same into the folder at folderPath, under the name of the entry's first version.
ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, const std::string& folderPath,
    ExportFormat format = ExportFormat::BMP);

// Saves each entry in turn into the folder; progress (if given) hears (done, total) after
// each file, on the calling thread, and answers false to stop there. The files are named in
// order; with overlapped, the next files are converted (and, into files without a name,
// written) on other threads meanwhile. The files written are named in batches, so an export
// that dies before a batch is named leaves the older files of those names whole.
ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries, COutputFolder& folder,
    const std::function<bool(size_t, size_t)>& progress = {}, bool overlapped = true,
    ExportFormat format = ExportFormat::BMP);
// The same into the folder at folderPath.
ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folderPath, const std::function<bool(size_t, size_t)>& progress = {},
    ExportFormat format = ExportFormat::BMP);

} // namespace orvanel
