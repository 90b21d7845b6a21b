#pragma once
// An archive written from stored files into a temporary folder and opened with its catalogue
// built, for the benchmarks that read from one.

#include "archive/DATArchive.h"
#include "writer/ArchiveBuilder.h"
#include "writer/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace orvanel::bench {

struct COpenedArchive {
    explicit COpenedArchive(const std::vector<writer::FileSpec>& files, uint32_t blockSize = 1024)
    {
        const std::string path = dir.File("bench.dat");
        writer::WriteArchive(path, files, blockSize);
        archive = std::make_unique<CDATArchive>(path, prompts, busy);
        archive->BuildCatalogue();
    }

    fixture::CTempDir dir;
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    std::unique_ptr<CDATArchive> archive;
};

} // namespace orvanel::bench
