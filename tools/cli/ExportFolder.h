#pragma once
// The saving of stored files into a folder, shared by the commands that export.

#include "archive/DATArchive.h"
#include "content/FileExport.h"

#include <string>

namespace orvanel::cli {

// Creates the folder when missing; false, with the reason on stderr under the command's name,
// when it is not a folder that can be written to.
bool PrepareExportFolder(const char* command, const std::string& folder);

// Saves each entry into folder as the desktop program's Save does, pictures in format, with a
// progress bar on a terminal and the export summary on stderr when any file was not saved.
// False then.
bool SaveIntoFolder(
    const CDATArchive& archive, const DATEntryList& entries, const std::string& folder, ExportFormat format);

// Reports an export's result: the summary on stderr when any file was not saved. False then.
bool ReportExport(const ExportResult& result, const std::string& folder);

} // namespace orvanel::cli
