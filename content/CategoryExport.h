#pragma once
// The export of a whole archive, each file into a sub-folder named by its line in the category
// selector: a texture by its pixel-format line ("06 - 31545844 - DXT1"), every other file by
// its category's ("0A - Sounds").

#include "archive/DATArchive.h"
#include "content/FileExport.h"

#include <functional>
#include <string>
#include <vector>

namespace orvanel {

struct ExportGroup {
    std::string folderName;
    DATEntryList entries;
};

// The line text as a folder name: only what the file system refuses in a name (the path
// separator and the zero character) becomes "_".
std::string FolderNameOf(const std::string& lineLabel);

// Every file of the archive once, grouped by the sub-folder it goes into, in the order of the
// selector's lines. A texture too short to carry its format goes into the textures' category
// folder, as no format line lists it.
std::vector<ExportGroup> CategoryFolders(const CDATArchive& archive);

// Saves every file of the archive into the sub-folders of folderPath that CategoryFolders
// names, creating them; each sub-folder is an export of its own (names of several versions,
// safe writing). progress hears (done, total) over the whole archive and answers false to
// stop. A sub-folder that cannot be made, or whose name is taken by a link or a file (a link
// is never followed), counts its files as not written.
ExportResult SaveByCategory(const CDATArchive& archive, const std::string& folderPath,
    const std::function<bool(size_t, size_t)>& progress = {}, ExportFormat format = ExportFormat::BMP);

} // namespace orvanel
