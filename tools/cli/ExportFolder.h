#pragma once
// The saving of stored files into a folder, shared by the commands that export.

#include "archive/DATArchive.h"

#include <string>

namespace orvanel::cli {

// Creates the folder when missing; false, with the reason on stderr under the command's name,
// when it is not a folder that can be written to.
bool PrepareExportFolder(const char* command, const std::string& folder);

// Saves each entry into folder as the desktop program's Save does, with a progress bar on a
// terminal and the export summary on stderr when any file was not saved. False then.
bool SaveIntoFolder(const CDATArchive& archive, const DATEntryList& entries, const std::string& folder);

} // namespace orvanel::cli
