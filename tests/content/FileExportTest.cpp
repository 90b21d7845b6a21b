#include "content/FileExport.h"
#include "writer/ArchiveBuilder.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/RecordBuilders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel {
namespace {

using writer::FileSpec;
using writer::StoredFile;

const std::vector<uint8_t> kPixels{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

// An archive with one file of every kind, and files that cannot be saved.
class Export : public ::testing::Test {
protected:
    enum Index { Raw, Unchecked08, Bad, Short, Texture, Undecodable, Sound, Text, NotPCM, NoLength };

    void SetUp() override
    {
        const std::vector<uint8_t> raw{'r', 'a', 'w', 0, 1};
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
            {0x31000001, StoredFile(0x31000001, std::vector<uint8_t>{8, 'o', 'n', 'e', '\n', 't', 'w', 0, 'x'})},
            {0x0A000002, writer::MakeSoundRecord(0x0A000002, adpcm, raw)},
            {0x31000002, StoredFile(0x31000002, std::vector<uint8_t>{9, 7, 7})}, // no length fits
        };
        writer::CArchiveBuilder builder(128);
        entries = builder.AddFilesAsTree(files, {3, 2});
        opened = std::make_unique<fixture::COpenedArchive>(builder);
        ASSERT_TRUE(opened->archive->BuildCatalogue());
        out = opened->dir.Path() / "out";
        std::filesystem::create_directory(out);
    }

    bool Save(size_t index, const std::string& folder)
    {
        return SaveStoredFile(opened->archive.get(), &entries[index], folder);
    }

    std::vector<DATEntry> entries;
    std::unique_ptr<fixture::COpenedArchive> opened;
    std::filesystem::path out;
};

TEST_F(Export, EachKindIsWrittenAsTheViewShowsIt)
{
    for (size_t i : {Raw, Unchecked08, Texture, Sound, Text})
        EXPECT_TRUE(Save(i, out.string() + (i == Texture ? "/" : ""))) << i;
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string>{"01000001.bin", "06000001.bmp",
        "08000001.bin", "0A000001.wav", "31000001.txt"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "01000001.bin"), std::string("\x01\x00\x00\x01raw\x00\x01", 9));
    EXPECT_EQ(fixture::ReadWholeFile(out / "08000001.bin"), std::string("\x78\x56\x34\x12raw\x00\x01", 9));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000001.bmp").size(), 70u);
    EXPECT_EQ(fixture::ReadWholeFile(out / "0A000001.wav").size(), 50u);
    // Cut at the zero byte, line feeds as CR LF.
    EXPECT_EQ(fixture::ReadWholeFile(out / "31000001.txt"), "one\r\ntw");
    EXPECT_EQ(ExportBaseName("/tmp/out/", 0x0600ABCD), "/tmp/out/0600ABCD");
}

TEST_F(Export, FilesThatCannotBeSavedLeaveNothingAndKeepAnOlderFile)
{
    std::ofstream(out / "0A000002.wav") << "keep";
    for (size_t i : {Bad, Short, Undecodable, NotPCM, NoLength})
        EXPECT_FALSE(Save(i, out.string())) << i;
    EXPECT_EQ(fixture::FileNamesIn(out), std::vector<std::string>{"0A000002.wav"});
    EXPECT_EQ(fixture::ReadWholeFile(out / "0A000002.wav"), "keep");
    EXPECT_FALSE(SaveStoredFile(opened->archive.get(), nullptr, out.string()));
    EXPECT_FALSE(SaveStoredFile(nullptr, &entries[Raw], out.string()));
    EXPECT_FALSE(Save(Raw, ""));
    EXPECT_FALSE(Save(Raw, (out / "missing").string()));
}

TEST_F(Export, MixedSelectionWritesEveryGoodFileAndCountsTheRestTwice)
{
    DATEntryList all;
    for (const DATEntry& e : entries)
        all.push_back(&e);
    std::vector<size_t> progress;
    for (int run = 0; run < 2; ++run) { // the second run replaces the files of the first
        EXPECT_EQ(SaveStoredFiles(*opened->archive, all, out.string(),
                      [&](size_t done, size_t total) {
                          EXPECT_EQ(total, all.size());
                          progress.push_back(done);
                          return true;
                      }),
            5u);
    }
    EXPECT_EQ(progress.size(), 2 * all.size());
    EXPECT_EQ(progress.back(), all.size());
    EXPECT_EQ(fixture::FileNamesIn(out).size(), 5u);
}

// Runs check in a child process and returns whether it passed: the resource limit it takes
// on must not stay with the test process.
bool InChild(const std::function<bool()>& check)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(check() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        return Save(Raw, out.string()) && !Save(Texture, out.string()) && !Save(Sound, out.string());
    }));
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string>{"01000001.bin", "06000001.bmp"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "06000001.bmp"), "keep");
}

} // namespace
} // namespace orvanel
