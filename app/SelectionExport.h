#pragma once
// The export of the selected files, one after another from the document's archive. A long export
// shows a progress dialog whose Cancel stops after the file being written; files already
// written stay, and none is left half-written.

#include "content/FileExport.h"
#include "archive/DATArchive.h"

#include <cstddef>
#include <string>

class QWidget;

namespace orvanel {

class COrvanelDoc;

// Exports of more files than this show the progress dialog, once they have run this long.
inline constexpr size_t kProgressFileCount = 50;
inline constexpr int kProgressDelayMs = 500;

// Files skipped by Cancel are not counted in the result.
ExportResult ExportWithProgress(const COrvanelDoc& doc, const DATEntryList& entries,
    const std::string& folder, QWidget* parent, int progressDelayMs = kProgressDelayMs);

} // namespace orvanel
