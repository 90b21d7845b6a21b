#include "content/FileExport.h"
#include "content/CategoryExport.h"
#include "decode/OutputFile.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ChildProcess.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <poll.h>
#include <pthread.h>
#include <random>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvanel {
namespace {

using fixture::InChild;
using writer::FileSpec;
using writer::StoredFile;

const std::vector<uint8_t> kPixels {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

// An archive with one file of every kind, and files that cannot be saved.
class Export : public ::testing::Test {
protected:
    enum Index { Raw, Unchecked08, Bad, Short, Texture, Undecodable, Sound, Text, NotPCM, NoLength };

    void SetUp() override
    {
        const std::vector<uint8_t> raw {'r', 'a', 'w', 0, 1};
        WaveFormat adpcm = writer::PCMFormat(1, 8000, 4);
        adpcm.formatTag = 2;
        const std::vector<FileSpec> files = {
            {0x01000001, StoredFile(0x01000001, raw)},
            {0x08000001, StoredFile(0x12345678, raw)}, // wrong ID, but category 08
            {0x02000002, StoredFile(0x02000003, raw)}, // wrong ID: bad
            {0x02000004, {4, 0, 0}},                   // shorter than its ID
            {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 20, kPixels)},
            {0x06000002, writer::MakeTextureRecord(0x06000002, 4, 4, 0x16, kPixels)},
            {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 8000, 8), raw)},
            {0x31000001,
                StoredFile(0x31000001, std::vector<uint8_t> {8, 'o', 'n', 'e', '\n', 't', 'w', 0, 'x'})},
            {0x0A000002, writer::MakeSoundRecord(0x0A000002, adpcm, raw)},
            {0x31000002, StoredFile(0x31000002, std::vector<uint8_t> {9, 7, 7})}, // no length fits
        };
        writer::CArchiveBuilder builder(128);
        entries = builder.AddFilesAsTree(files, {3, 2});
        for (const DATEntry& e : entries)
            allFiles.push_back(&e);
        opened = std::make_unique<fixture::COpenedArchive>(builder);
        ASSERT_TRUE(opened->archive->BuildCatalogue());
        out = opened->dir.Path() / "out";
        std::filesystem::create_directory(out);
    }

    // Saves one file into folder; reason is left with why it was not written.
    ExportOutcome Save(size_t index, const std::string& folder)
    {
        COutputFolder into(folder);
        return SaveStoredFile(
            opened->archive.get(), &entries[index], into, CExportNames().NameFor(entries[index]), reason);
    }

    std::vector<DATEntry> entries;
    DATEntryList allFiles;
    std::unique_ptr<fixture::COpenedArchive> opened;
    std::filesystem::path out;
    std::string reason;
};

// Each kind is written as the view shows it; a file that cannot be saved leaves nothing, and an
// older file of its name stays as it was.
TEST_F(Export, EachKindIsWrittenAsTheViewShowsItAndBadFilesLeaveNothing)
{
    std::ofstream(out / "0A000002.wav") << "keep";
    for (size_t i = Raw; i <= NoLength; ++i) {
        const bool bad = i == Bad || i == Short || i == Undecodable || i == NotPCM || i == NoLength;
        EXPECT_EQ(Save(i, out.string() + (i == Texture ? "/" : "")),
            bad ? ExportOutcome::Bad : ExportOutcome::Saved)
            << i;
    }
    EXPECT_EQ(fixture::FileNamesIn(out),
        (std::vector<std::string> {
            "01000001.bin", "06000001.bmp", "08000001.bin", "0A000001.wav", "0A000002.wav", "31000001.txt"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "01000001.bin"), std::string("\x01\x00\x00\x01raw\x00\x01", 9));
    EXPECT_EQ(fixture::ReadWholeFile(out / "08000001.bin"), std::string("\x78\x56\x34\x12raw\x00\x01", 9));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000001.bmp").size(), 70u);
    EXPECT_EQ(fixture::ReadWholeFile(out / "0A000001.wav").size(), 50u);
    EXPECT_EQ(fixture::ReadWholeFile(out / "0A000002.wav"), "keep");
    // Cut at the zero byte, line feeds as CR LF.
    EXPECT_EQ(fixture::ReadWholeFile(out / "31000001.txt"), "one\r\ntw");
    // A missing folder is a write failure with the system's reason, not a bad file.
    EXPECT_EQ(Save(Raw, (out / "missing").string()), ExportOutcome::NotWritten);
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_EQ(Save(Bad, (out / "missing").string()), ExportOutcome::Bad);
}

// Every file of a folder with its content.
std::map<std::string, std::string> Contents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : fixture::FileNamesIn(folder))
        contents[name] = fixture::ReadWholeFile(folder / name);
    return contents;
}

TEST_F(Export, OverlappedExportWritesWhatOneThreadWritesAndStopsAlike)
{
    // Twice over, so that versions of one ID meet in one export.
    DATEntryList all = allFiles;
    all.insert(all.end(), all.begin(), all.end());
    for (size_t stopAfter : {all.size(), size_t(1), size_t(7), size_t(12)}) {
        std::map<std::string, std::string> written[2];
        ExportResult results[2];
        for (int overlapped = 0; overlapped < 2; ++overlapped) {
            std::filesystem::remove_all(out);
            std::filesystem::create_directory(out);
            COutputFolder folder(out.string());
            results[overlapped] = SaveStoredFiles(
                *opened->archive, all, folder, [&](size_t done, size_t) { return done < stopAfter; },
                overlapped == 1);
            written[overlapped] = Contents(out);
        }
        EXPECT_EQ(written[0], written[1]) << stopAfter;
        EXPECT_EQ(results[0].saved, results[1].saved) << stopAfter;
        EXPECT_EQ(results[0].bad, results[1].bad) << stopAfter;
        EXPECT_EQ(results[0].saved + results[0].bad, stopAfter);
    }
}

TEST(ExportOutOfMemory, AFileTooBigToConvertIsNotWrittenAndTheRestAre)
{
    if (fixture::kSanitized)
        GTEST_SKIP() << "sanitizers reserve address space of their own";
    // A text record of 64 MiB (a 4-byte length, then the text) beside a small one.
    constexpr uint32_t kLength = 64u << 20;
    std::vector<uint8_t> huge {
        uint8_t(kLength >> 24), uint8_t(kLength >> 16), uint8_t(kLength >> 8), uint8_t(kLength)};
    huge.resize(4 + kLength, 'a');
    writer::CArchiveBuilder builder(1 << 16);
    const std::vector<DATEntry> entries = builder.AddFilesAsTree({{0x31000001, StoredFile(0x31000001, huge)},
        {0x31000002, StoredFile(0x31000002, std::vector<uint8_t> {2, 'o', 'k'})}});
    fixture::COpenedArchive opened(builder);
    const DATEntryList both {&entries[0], &entries[1]};
    // With room to read the record but not to copy its text as well: once on a helper thread,
    // once with no helper able to start (threads made there ask for more stack than is left),
    // so that the writer converts both itself.
    for (bool helpers : {true, false}) {
        const auto out = opened.dir.Path() / (helpers ? "helpers" : "alone");
        std::filesystem::create_directory(out);
        EXPECT_TRUE(fixture::InChild([&] {
            pthread_attr_t hugeStacks;
            if (!helpers
                && (::pthread_attr_init(&hugeStacks) != 0
                    || ::pthread_attr_setstacksize(&hugeStacks, size_t(1) << 30) != 0
                    || ::pthread_setattr_default_np(&hugeStacks) != 0))
                return false;
            const uint64_t limit = fixture::AddressSpace() + (100u << 20);
            const rlimit cap {limit, limit};
            if (::setrlimit(RLIMIT_AS, &cap) != 0)
                return false;
            const ExportResult result = SaveStoredFiles(*opened.archive, both, out.string());
            return result.saved == 1 && result.notWritten == 1 && result.reason == "Cannot allocate memory";
        })) << helpers;
        EXPECT_EQ(fixture::FileNamesIn(out), std::vector<std::string> {"31000002.txt"}) << helpers;
    }
}

TEST_F(Export, ReplacingExportThatDiesBeforeItsRenamesLeavesEveryOldFile)
{
    const DATEntryList all = allFiles;
    ASSERT_EQ(SaveStoredFiles(*opened->archive, all, out.string()).saved, 5u);
    const auto fresh = Contents(out);
    for (const std::string& name : fixture::FileNamesIn(out))
        std::ofstream(out / name) << "old";
    const auto before = Contents(out);
    EXPECT_FALSE(InChild([&] {
        // Dies once every file has been written, before any is named.
        SaveStoredFiles(*opened->archive, all, out.string(), [&](size_t done, size_t total) {
            if (done == total)
                ::raise(SIGKILL); // killed outright: nothing of the program runs after
            return true;
        });
        return true;
    }));
    EXPECT_EQ(Contents(out), before);
    // Run to its end, it replaces every old file with what the fresh export wrote.
    EXPECT_EQ(SaveStoredFiles(*opened->archive, all, out.string()).saved, 5u);
    EXPECT_EQ(Contents(out), fresh);
}

TEST_F(Export, WriteErrorLeavesNoPartialFileAndIsReportedWithItsReason)
{
    // A file size limit makes writes past 32 bytes fail as a full disk would.
    std::ofstream(out / "06000001.bmp") << "keep";
    const std::string folder = out.string();
    EXPECT_TRUE(InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {32, 32};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        const ExportResult result = SaveStoredFiles(*opened->archive, allFiles, folder);
        return result.saved == 3 && result.bad == 5 && result.notWritten == 2
            && ExportSummaryText(result, folder)
                   .find("could not be written to " + folder + ": File too large")
            != std::string::npos;
    }));
    EXPECT_EQ(fixture::FileNamesIn(out),
        (std::vector<std::string> {"01000001.bin", "06000001.bmp", "08000001.bin", "31000001.txt"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000001.bmp"), "keep");
}

// Swaps every new entry of a folder for a link to a file outside it, as someone sharing the
// folder could, until stopped.
class CSymlinkRacer {
public:
    CSymlinkRacer(const std::filesystem::path& folder, const std::filesystem::path& target)
        : m_folder(folder), m_target(target), m_watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_watch, folder.c_str(), IN_CREATE | IN_MOVED_TO);
        m_thread = std::thread([this] { Run(); });
    }
    ~CSymlinkRacer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_watch);
    }
    int Swaps() const { return m_swaps; }

private:
    void Run()
    {
        alignas(inotify_event) char buffer[8192];
        while (!m_stop) {
            pollfd p {m_watch, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                const std::string name = event->len ? event->name : "";
                if (name.empty() || name.starts_with("moved-"))
                    continue;
                std::error_code ec;
                const auto entry = m_folder / name;
                if (std::filesystem::is_symlink(entry, ec))
                    continue;
                std::filesystem::rename(entry, m_folder / ("moved-" + std::to_string(m_swaps)), ec);
                if (!ec) {
                    std::filesystem::create_symlink(m_target, entry, ec);
                    ++m_swaps;
                }
            }
        }
    }

    std::filesystem::path m_folder;
    std::filesystem::path m_target;
    int m_watch;
    std::atomic<bool> m_stop {false};
    std::atomic<int> m_swaps {0};
    std::thread m_thread;
};

TEST_F(Export, LinksSwappedInDuringAnExportNeverRedirectAWrite)
{
    const auto victim = opened->dir.Path() / "victim";
    for (bool nameless : {true, false}) {
        std::ofstream(victim) << "outside";
        const auto before = fixture::FileNamesIn(opened->dir.Path());
        {
            CSymlinkRacer racer(out, victim);
            for (int run = 0; run < 20; ++run) {
                COutputFolder folder(out.string(), nameless);
                SaveStoredFiles(*opened->archive, allFiles, folder);
            }
            EXPECT_GT(racer.Swaps(), 0) << nameless;
        }
        EXPECT_EQ(fixture::ReadWholeFile(victim), "outside") << nameless;
        EXPECT_EQ(fixture::FileNamesIn(opened->dir.Path()), before) << nameless;
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
    }
}

TEST_F(Export, TerminationAtAnyPointLeavesNoTemporary)
{
    // Enough good files that many wait unnamed at once.
    const DATEntryList one = allFiles;
    DATEntryList all;
    for (int copy = 0; copy < 40; ++copy)
        all.insert(all.end(), one.begin(), one.end());
    std::mt19937 random(18);
    for (bool nameless : {true, false}) {
        for (int run = 0; run < 12; ++run) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                InstallInterruptCleanup();
                COutputFolder folder(out.string(), nameless);
                for (;;)
                    SaveStoredFiles(*opened->archive, all, folder);
            }
            ASSERT_GT(pid, 0);
            ::usleep(useconds_t(std::uniform_int_distribution<int>(1000, 30000)(random)));
            ::kill(pid, SIGTERM);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
            for (const std::string& name : fixture::FileNamesIn(out))
                EXPECT_NE(name[0], '.') << name << " nameless " << nameless;
        }
    }
}

// What the user is told after an export: the status line with the counts, and the summary that
// names the files not saved (up to ten) with why each was not.
TEST(ExportSummary, NamesTheFilesNotSavedWithTheReasonOfEach)
{
    std::vector<FileSpec> twelveBad;
    for (uint32_t i = 0; i < 12; ++i)
        twelveBad.push_back({0x02000010 + 2 * i, StoredFile(0x02000011 + 2 * i)});
    const std::string bad = std::string(kExportSummaryMessage) + "\n\n";
    const struct {
        const char* name;
        std::vector<FileSpec> files;
        bool folderIsAFile;
        std::string summary; // "{F}" stands for the folder
        std::string status;
    } kCases[] = {
        {"all saved", {{0x01000001, StoredFile(0x01000001)}, {0x01000002, StoredFile(0x01000002)}}, false, "",
            "Saved 2 files to {F}"},
        {"bad and undecodable",
            {{0x01000001, StoredFile(0x01000001)}, {0x02000002, StoredFile(0x02000003)},
                {0x02000004, {4, 0, 0}},
                {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 0x16, kPixels)}},
            false,
            bad
                + "3 files not saved:\n02000002: bad ID (its first word is 02000003)\n"
                  "02000004: bad ID (too short to hold one)\n06000001: does not decode",
            "Saved 1 file to {F}, 3 not saved"},
        {"folder refuses", {{0x01000001, StoredFile(0x01000001)}, {0x01000002, StoredFile(0x01000002)}}, true,
            "2 files could not be written to {F}: Not a directory\n\n"
            "2 files not saved:\n01000001: could not be written to {F}: Not a directory\n"
            "01000002: could not be written to {F}: Not a directory",
            "Saved 0 files to {F}, 2 not saved"},
        {"more than ten", twelveBad, false,
            bad
                + "12 files not saved:\n02000010: bad ID (its first word is 02000011)\n"
                  "02000012: bad ID (its first word is 02000013)\n02000014: bad ID (its first word is "
                  "02000015)\n"
                  "02000016: bad ID (its first word is 02000017)\n02000018: bad ID (its first word is "
                  "02000019)\n"
                  "0200001A: bad ID (its first word is 0200001B)\n0200001C: bad ID (its first word is "
                  "0200001D)\n"
                  "0200001E: bad ID (its first word is 0200001F)\n02000020: bad ID (its first word is "
                  "02000021)\n"
                  "02000022: bad ID (its first word is 02000023)\nand 2 more",
            "Saved 0 files to {F}, 12 not saved"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        writer::CArchiveBuilder builder(256);
        builder.AddFilesAsTree(c.files);
        fixture::COpenedArchive opened(builder);
        ASSERT_TRUE(opened.archive->BuildCatalogue());
        const std::filesystem::path folder = opened.dir.Path() / "out";
        if (c.folderIsAFile)
            std::ofstream(folder) << "not a folder";
        else
            std::filesystem::create_directory(folder);
        DATEntryList all;
        for (const auto& [category, list] : opened.archive->CategoryLists())
            all.insert(all.end(), list.begin(), list.end());
        const ExportResult result = SaveStoredFiles(*opened.archive, all, folder.string());
        const auto withFolder = [&](std::string text) {
            for (size_t at; (at = text.find("{F}")) != std::string::npos;)
                text.replace(at, 3, folder.string());
            return text;
        };
        EXPECT_EQ(ExportSummaryText(result, folder.string()), withFolder(c.summary));
        EXPECT_EQ(ExportStatusText(result, folder.string()), withFolder(c.status));
    }
}

TEST(ExportSummary, FolderNamesReplaceOnlyWhatTheFileSystemRefuses)
{
    EXPECT_EQ(FolderNameOf("0A - Sounds"), "0A - Sounds");
    EXPECT_EQ(FolderNameOf("05 - ???"), "05 - ???");
    EXPECT_EQ(FolderNameOf(std::string("a/b\0c: *d", 9)), "a_b_c: *d");
}

} // namespace
} // namespace orvanel
