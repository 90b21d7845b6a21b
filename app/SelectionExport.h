#pragma once
// The exports of the desktop program, one file after another from the document's archive: the
// selected files, the files of one category line, or the whole archive into category
// sub-folders. A long export shows a progress dialog whose Cancel stops after the file being
// written; files already written stay, and none is left half-written.

#include "archive/DATArchive.h"
#include "content/FileExport.h"

#include <cstddef>
#include <string>

class QWidget;

namespace orvanel {

class COrvanelDoc;

// Exports of more files than this show the progress dialog, once they have run this long.
inline constexpr size_t kProgressFileCount = 50;
inline constexpr int kProgressDelayMs = 500;

// Saves entries into folder. Files skipped by Cancel are not counted in the result.
ExportResult ExportWithProgress(const COrvanelDoc& doc, const DATEntryList& entries,
    const std::string& folder, QWidget* parent, int progressDelayMs = kProgressDelayMs,
    ExportFormat format = ExportFormat::BMP);

// Saves every file of the document's archive into category sub-folders of folder.
ExportResult ExportAllWithProgress(const COrvanelDoc& doc, const std::string& folder, QWidget* parent,
    ExportFormat format, int progressDelayMs = kProgressDelayMs);

} // namespace orvanel
