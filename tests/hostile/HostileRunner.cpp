#include "tests/hostile/HostileRunner.h"

#include "archive/ArchiveCompare.h"
#include "archive/DATArchive.h"
#include "content/FileDescription.h"
#include "content/FileExport.h"
#include "tests/support/CatalogueFixture.h"

#include <chrono>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel::hostile {

namespace {

// A size in bytes from /proc/self/status: "VmRSS" now, "VmHWM" at its peak.
uint64_t MemoryStatus(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":"))
            return std::stoull(line.substr(field.size() + 1)) * 1024;
    }
    return 0;
}

RunReport RunAll(const std::string& archivePath, const std::string& outFolder)
{
    const auto started = std::chrono::steady_clock::now();
    // Writing 5 to clear_refs resets the peak resident size to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
    const uint64_t start = MemoryStatus("VmRSS");
    {
        fixture::CFakePrompts prompts(true);
        CNoBusyIndicator busy;
        CDATArchive archive(archivePath, prompts, busy);
        archive.BuildCatalogue();
        fixture::CRecordingSelector selector;
        archive.FillCategoryList(selector);
        for (const DATEntryList* list : selector.lists) {
            for (const DATEntry* entry : *list) {
                if (const auto bytes = archive.ReadFile(*entry)) {
                    std::string shown;
                    DescribeStoredFile(archive, *bytes, *entry, shown);
                }
                SaveStoredFile(&archive, entry, outFolder);
            }
        }
        // Compared with itself, every stored file's chain is walked twice side by side.
        CompareArchives(archive, archive);
    }
    RunReport result;
    result.peakGrowthBytes = std::max(MemoryStatus("VmHWM"), start) - start;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

} // namespace

RunReport OpenListShowAndExportAll(const std::function<std::vector<uint8_t>()>& build,
    const std::string& archivePath, const std::string& outFolder, double timeLimitSeconds)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        const std::vector<uint8_t> bytes = build();
        if (!writer::WriteWholeFile(archivePath, bytes))
            ::_exit(4);
        // A hang ends the child instead of the test run.
        ::alarm(unsigned(timeLimitSeconds * 4) + 1);
        RunReport result = RunAll(archivePath, outFolder);
        result.archiveBytes = bytes.size();
        result.exitedNormally = true;
        ::_exit(::write(channel[1], &result, sizeof result) == ssize_t(sizeof result) ? 0 : 3);
    }
    ::close(channel[1]);
    RunReport report;
    const bool received = pid > 0 && ::read(channel[0], &report, sizeof report) == ssize_t(sizeof report);
    ::close(channel[0]);
    int status = 0;
    const bool waited = pid > 0 && ::waitpid(pid, &status, 0) == pid;
    report.exitedNormally = waited && received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return report;
}

} // namespace orvanel::hostile
