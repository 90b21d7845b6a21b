#include "app/FileExport.h"
#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/RecordBuilders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel {
namespace {

using writer::CArchiveBuilder;
using fixture::COpenedArchive;
using writer::FileSpec;
using writer::StoredFile;

FileSpec TextRecord(uint32_t id, const std::string& text)
{
    std::vector<uint8_t> body{uint8_t(text.size())};
    body.insert(body.end(), text.begin(), text.end());
    return {id, StoredFile(id, body)};
}

// Two rows of blue-green-red pixels: (red, green) over (blue, white).
const std::vector<uint8_t> kPixels{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
const std::vector<uint8_t> kUnknown(64, 1);
const std::vector<uint8_t> kSamples{1, 2, 3};

// An archive with one file of every kind, a bad file and a file too short for its ID.
class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> raw{'r', 'a', 'w', 0, 1};
        files = {
            {0x01000001, StoredFile(0x01000001, raw)},
            {0x08000001, StoredFile(0x12345678, raw)},         // wrong ID, but category 08
            {0x02000002, StoredFile(0x02000003, raw)},         // wrong ID: bad
            {0x02000004, {4, 0, 0}},                           // shorter than its ID
            {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 20, kPixels)},
            {0x06000002, writer::MakeTextureRecord(0x06000002, 4, 4, 0x16, kUnknown)},
            {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 8000, 8), kSamples)},
            TextRecord(0x31000001, std::string("one\ntwo\0three", 13)),
        };
        CArchiveBuilder builder(128);
        entries = builder.AddFilesAsTree(files, {3, 2});
        opened = std::make_unique<COpenedArchive>(builder);
        ASSERT_TRUE(opened->archive->BuildCatalogue());
        out = opened->dir.Path() / "out";
        std::filesystem::create_directory(out);
    }

    bool Save(size_t index, const std::string& folder)
    {
        return SaveStoredFile(opened->archive.get(), &entries[index], folder);
    }

    std::vector<FileSpec> files;
    std::vector<DATEntry> entries;
    std::unique_ptr<COpenedArchive> opened;
    std::filesystem::path out;
};

TEST_F(Export, NamesWithAndWithoutTrailingSeparator)
{
    EXPECT_EQ(ExportBaseName("/tmp/out", 0x0600ABCD), "/tmp/out/0600ABCD");
    EXPECT_EQ(ExportBaseName("/tmp/out/", 0x0600ABCD), "/tmp/out/0600ABCD");
    EXPECT_EQ(ExportBaseName("/", 0x31000001), "/31000001");

    EXPECT_TRUE(Save(0, out.string()));
    EXPECT_TRUE(Save(4, out.string() + "/"));
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string>{"01000001.bin", "06000001.bmp"}));
}

TEST_F(Export, RawFilesKeepTheirBytesAndCategory08IsNeverBad)
{
    ASSERT_TRUE(Save(0, out.string()));
    EXPECT_EQ(fixture::ReadWholeFile(out / "01000001.bin"), std::string("\x01\x00\x00\x01raw\x00\x01", 9));
    ASSERT_TRUE(Save(1, out.string()));
    EXPECT_EQ(fixture::ReadWholeFile(out / "08000001.bin"), std::string("\x78\x56\x34\x12raw\x00\x01", 9));
}

TEST_F(Export, BadShortAndUndecodableFilesAreNotSavedAndLeaveNothing)
{
    EXPECT_FALSE(Save(2, out.string()));
    EXPECT_FALSE(Save(3, out.string()));
    EXPECT_FALSE(Save(5, out.string()));
    EXPECT_TRUE(fixture::FileNamesIn(out).empty());
    EXPECT_FALSE(SaveStoredFile(opened->archive.get(), nullptr, out.string()));
    EXPECT_FALSE(SaveStoredFile(nullptr, &entries[0], out.string()));
    EXPECT_FALSE(Save(0, ""));
}

TEST_F(Export, MixedSelectionWritesEveryGoodFileAndCountsTheRest)
{
    DATEntryList all;
    for (const DATEntry& e : entries)
        all.push_back(&e);
    std::vector<size_t> progress;
    const size_t failed = SaveStoredFiles(*opened->archive, all, out.string(),
        [&](size_t done, size_t total) {
            EXPECT_EQ(total, all.size());
            progress.push_back(done);
        });
    EXPECT_EQ(failed, 3u);
    EXPECT_EQ(progress.size(), all.size());
    EXPECT_EQ(progress.back(), all.size());
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string>{"01000001.bin", "06000001.bmp",
        "08000001.bin", "0A000001.wav", "31000001.txt"}));
}

TEST_F(Export, ExportingTwiceReplacesTheFiles)
{
    std::ofstream(out / "01000001.bin") << "an older, longer file of the same name";
    ASSERT_TRUE(Save(0, out.string()));
    ASSERT_TRUE(Save(0, out.string()));
    EXPECT_EQ(fixture::ReadWholeFile(out / "01000001.bin").size(), 9u);
    EXPECT_EQ(fixture::FileNamesIn(out).size(), 1u);
}

TEST_F(Export, FailedImageDoesNotTruncateAnExistingFile)
{
    std::ofstream(out / "06000002.bmp") << "keep";
    EXPECT_FALSE(Save(5, out.string()));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000002.bmp"), "keep");
}

TEST_F(Export, TextIsCutAtZeroWithCRLF)
{
    ASSERT_TRUE(Save(7, out.string()));
    EXPECT_EQ(fixture::ReadWholeFile(out / "31000001.txt"), "one\r\ntwo");
}

TEST_F(Export, PicturesAsBMPAndSoundsAsWAVByteForByte)
{
    ASSERT_TRUE(Save(4, out.string()));
    const std::string bmp = fixture::ReadWholeFile(out / "06000001.bmp");
    ASSERT_EQ(bmp.size(), 70u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(ReadLE32(reinterpret_cast<const uint8_t*>(bmp.data()) + 10), 54u);
    // Bottom row first: the second stored row (blue, white), then the first (red, green).
    const std::string rows(bmp.data() + 54, 16);
    EXPECT_EQ(rows, std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00"
                                "\x00\x00\xFF\x00\xFF\x00\x00\x00", 16));

    ASSERT_TRUE(Save(6, out.string()));
    const std::string wav = fixture::ReadWholeFile(out / "0A000001.wav");
    ASSERT_EQ(wav.size(), 48u);
    const auto* w = reinterpret_cast<const uint8_t*>(wav.data());
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(ReadLE32(w + 4), 40u);
    EXPECT_EQ(ReadLE32(w + 24), 8000u);
    EXPECT_EQ(ReadLE32(w + 40), 3u);
    EXPECT_EQ(wav.substr(44), std::string("\x01\x02\x03\x00", 4));
}

// Runs check in a child process and returns whether it passed. Used for what needs another
// user or a resource limit, which the test process itself must not take on.
bool InChild(const std::function<bool()>& check)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(check() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(Export, ReadOnlyFolderCountsAsNotSaved)
{
    namespace fs = std::filesystem;
    // The folder is read-only for whoever writes: as root, a child writes as user nobody.
    fs::permissions(opened->dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
        | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(opened->path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read
        | fs::perms::others_exec);
    const bool asRoot = ::geteuid() == 0;
    EXPECT_TRUE(InChild([&] {
        if (asRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return false;
        fixture::CFakePrompts prompts;
        CNoBusyIndicator busy;
        CDATArchive archive(opened->path, prompts, busy);
        if (!archive.BuildCatalogue())
            return false;
        return !SaveStoredFile(&archive, &entries[0], out.string())
            && !SaveStoredFile(&archive, &entries[4], out.string())
            && !SaveStoredFile(&archive, &entries[7], out.string());
    }));
    fs::permissions(out, fs::perms::owner_all);
    EXPECT_TRUE(fixture::FileNamesIn(out).empty());
}

TEST_F(Export, WriteErrorLeavesNoPartialFile)
{
    // A file size limit makes writes past 32 bytes fail as a full disk would.
    std::ofstream(out / "06000001.bmp") << "keep";
    EXPECT_TRUE(InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{32, 32};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        return Save(0, out.string()) && !Save(4, out.string()) && !Save(6, out.string());
    }));
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string>{"01000001.bin", "06000001.bmp"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000001.bmp"), "keep");
}

TEST_F(Export, MissingFolderCountsAsNotSaved)
{
    EXPECT_FALSE(Save(0, (out / "missing").string()));
}

} // namespace
} // namespace orvanel
