#include "tests/hostile/HostileRunner.h"

#include "app/FileDescription.h"
#include "app/FileExport.h"
#include "archive/DATArchive.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel::hostile {

namespace {

struct ChildResult {
    uint64_t archiveBytes = 0;
    uint32_t opened = 0;
    uint32_t entries = 0;
    uint64_t growthBytes = 0;
    double seconds = 0;
};

uint64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    uint64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * uint64_t(::sysconf(_SC_PAGESIZE));
}

uint64_t PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoull(line.substr(6)) * 1024;
    }
    return 0;
}

void ResetPeak()
{
    // Writing 5 to clear_refs resets the peak resident size to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
}

ChildResult RunAll(const std::string& archivePath, const std::string& outFolder)
{
    ChildResult result;
    const auto started = std::chrono::steady_clock::now();
    ResetPeak();
    const uint64_t start = ResidentBytes();
    {
        fixture::CFakePrompts prompts(true);
        CNoBusyIndicator busy;
        CDATArchive archive(archivePath, prompts, busy);
        result.opened = archive.BuildCatalogue() ? 1 : 0;
        fixture::CRecordingSelector selector;
        archive.FillCategoryList(selector);
        for (const DATEntryList* list : selector.lists) {
            for (const DATEntry* entry : *list) {
                ++result.entries;
                if (const auto bytes = archive.ReadFile(*entry)) {
                    std::string shown;
                    DescribeStoredFile(archive, *bytes, *entry, shown);
                }
                SaveStoredFile(&archive, entry, outFolder);
            }
        }
    }
    const uint64_t peak = PeakResidentBytes();
    result.growthBytes = peak > start ? peak - start : 0;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

} // namespace

RunReport OpenListShowAndExportAll(const std::function<std::vector<uint8_t>()>& build,
    const std::string& archivePath, const std::string& outFolder, double timeLimitSeconds)
{
    RunReport report;
    int channel[2];
    if (::pipe(channel) != 0)
        return report;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        const std::vector<uint8_t> bytes = build();
        if (!writer::WriteWholeFile(archivePath, bytes))
            ::_exit(4);
        // A hang ends the child instead of the test run.
        ::alarm(unsigned(timeLimitSeconds * 4) + 1);
        ChildResult result = RunAll(archivePath, outFolder);
        result.archiveBytes = bytes.size();
        const bool sent = ::write(channel[1], &result, sizeof result) == ssize_t(sizeof result);
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    ChildResult result;
    const bool received = pid > 0 && ::read(channel[0], &result, sizeof result) == ssize_t(sizeof result);
    ::close(channel[0]);
    int status = 0;
    const bool waited = pid > 0 && ::waitpid(pid, &status, 0) == pid;
    report.seconds = result.seconds;
    report.exitedNormally = waited && received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    report.opened = result.opened != 0;
    report.entries = result.entries;
    report.peakGrowthBytes = result.growthBytes;
    report.archiveBytes = result.archiveBytes;
    return report;
}

} // namespace orvanel::hostile
