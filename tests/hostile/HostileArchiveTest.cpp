#include "archive/ArchiveCompare.h"
#include "archive/DATArchive.h"
#include "content/FileDescription.h"
#include "content/FileExport.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/ArchiveBuilder.h"
#include "writer/DamagedArchives.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel {
namespace {

// GCC names AddressSanitizer with a macro of its own, Clang through __has_feature.
#ifndef __has_feature
#define __has_feature(feature) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Everything a user can do with an archive (open it, list it, show, export and compare every
// file), run in a child process, reporting how it ended, how long it took and how much memory
// it took on top of what the process held before.
struct RunReport {
    bool exitedNormally = false; // no crash, no abort, no sanitizer report
    double seconds = 0;
    uint64_t peakGrowthBytes = 0; // peak resident memory above the start of the run
    uint64_t archiveBytes = 0;
};

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

// The child first builds the archive with build and writes it to archivePath: libraries that
// keep thread pools (libsquish's OpenMP) must not be started before a fork.
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

// Sanitizers slow everything down and keep freed memory in quarantine: only the bounds that
// still mean something there are checked.
constexpr double kTimeLimitSeconds = kSanitized ? 20.0 : 1.0;

class HostileArchive : public ::testing::TestWithParam<writer::DamagedArchive> { };

TEST_P(HostileArchive, OpensListsShowsAndExportsWithinBounds)
{
    fixture::CTempDir dir;
    const auto out = dir.Path() / "out";
    std::filesystem::create_directory(out);
    const RunReport report =
        OpenListShowAndExportAll(GetParam().build, dir.File("hostile.dat"), out.string(), kTimeLimitSeconds);
    EXPECT_TRUE(report.exitedNormally) << "crashed, hung or was stopped";
    EXPECT_LT(report.seconds, kTimeLimitSeconds);
    if (!kSanitized) {
        const uint64_t allowed = 64 * report.archiveBytes + (16u << 20);
        EXPECT_LE(report.peakGrowthBytes, allowed)
            << "archive of " << report.archiveBytes << " bytes took " << report.peakGrowthBytes << " bytes";
    }
    // Whatever was exported is complete: no temporaries are left behind.
    for (const auto& file : std::filesystem::directory_iterator(out))
        EXPECT_NE(file.path().filename().string()[0], '.') << file.path();
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileArchive, ::testing::ValuesIn(writer::DamagedArchives()),
    [](const ::testing::TestParamInfo<writer::DamagedArchive>& info) { return info.param.name; });

TEST(HostileHeader, TruncatedAtEveryOffsetIsRefusedWithAMessage)
{
    writer::CArchiveBuilder b(64);
    b.AddFilesAsTree({{0x01000001, writer::StoredFile(0x01000001)}});
    const std::vector<uint8_t> full = b.Build();
    fixture::CTempDir dir;
    const std::string path = dir.File("short.dat");
    for (size_t length = 0; length < kDATHeaderEnd; ++length) {
        ASSERT_TRUE(writer::WriteWholeFile(path, std::span(full).first(length)));
        fixture::CFakePrompts prompts(true);
        CNoBusyIndicator busy;
        CDATArchive archive(path, prompts, busy);
        EXPECT_FALSE(archive.BuildCatalogue()) << length;
        EXPECT_EQ(prompts.informed.size(), 1u) << length;
        EXPECT_TRUE(archive.CategoryLists().empty());
    }
}

} // namespace
} // namespace orvanel
