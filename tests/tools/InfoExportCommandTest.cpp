// orvanel-cli info and export: what is printed and written (as BMP or PNG, by ID, by line or by
// category), the exit status, and an export that ignores hang-ups.
#include "content/FileExport.h"
#include "tests/support/PngReadBack.h"
#include "tests/tools/CliTestSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel {
namespace {

using cli_test::RunCli;
using cli_test::WriteArchive;
using writer::FileSpec;
using writer::StoredFile;

class InfoAndExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> grey(64 * 64, 0x80);
        const std::vector<uint8_t> indices(4, 1);
        const std::vector<uint32_t> palette(256, 0xFF102030);
        const std::vector<uint8_t> samples(22050 * 3, 0);
        WaveFormat adpcm = writer::PCMFormat(1, 8000, 4);
        adpcm.formatTag = 2;
        WaveFormat noBlockAlign = writer::PCMFormat(1, 8000, 8);
        noBlockAlign.blockAlign = 0;
        const std::vector<uint16_t> levels16 {100, 200, 300};
        std::vector<FileSpec> files = {
            {0x06000001, writer::MakeTextureRecord(0x06000001, 64, 64, 28, grey)},
            {0x06000002, writer::MakeIndexedTextureRecord(0x06000002, 2, 2, 41, indices, 0x04000099)},
            {0x06000003, writer::MakeIndexedTextureRecord(0x06000003, 2, 2, 41, indices, 0x04000001)},
            {0x06000004, writer::MakeTextureRecord(0x06000004, 2, 2, 0x16, indices)},
            {0x04000001, writer::MakeColourTableRecord(0x04000001, palette)},
            {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(2, 22050, 8), samples)},
            {0x0A000002, writer::MakeSoundRecord(0x0A000002, adpcm, indices)},
            {0x0A000003, writer::MakeSoundRecord(0x0A000003, noBlockAlign, indices)},
            {0x06000005, writer::MakeTextureRecord(0x06000005, 3, 1, 23, writer::Values16(levels16))},
            {0x31000001, StoredFile(0x31000001, std::vector<uint8_t> {5, 'H', 'e', 'l', 'l', 'o'})},
            {0x31000002, StoredFile(0x31000002, std::vector<uint8_t> {9, 7, 7})},
            {0x01000001, StoredFile(0x01000001, std::vector<uint8_t> {'a', 0, 'b'})},
        };
        FileSpec second = files.back();
        second.version = 0x30000;
        files.push_back(second);
        archive = WriteArchive(m_dir, "a.dat", files, {3, 3});
        out = m_dir.Path() / "out";
    }

    fixture::CTempDir m_dir;
    std::string archive;
    std::filesystem::path out;
};

// What the file view shows, or exit status 3 and why not; 1 for a file that is not there.
TEST_F(InfoAndExport, InfoPrintsWhatTheFileViewShowsOrWhyNot)
{
    const struct {
        const char* id;
        int status;
        std::string out;
        const char* err = "";
    } cases[] = {
        {"0x06000002", 0, "2 x 2 x 24 x 100% (04000099, Not Found)\n"},
        {"6000003", 0, "2 x 2 x 24 x 100% (04000001)\n"},
        {"0A000001", 0, "22050 Hz, 8 bits, 2 channels, 1.5s\n"},
        {"06000004", 3, "", "its picture does not decode"},
        {"0A000002", 3, "", "its sound does not load"},
        {"31000002", 3, "", "no length fits its text"},
        {"0A0000FF", 1, "", "0A0000FF"},
    };
    for (const auto& c : cases) {
        const auto r = RunCli({"info", archive, c.id});
        EXPECT_EQ(r.status, c.status) << c.id << r.err;
        EXPECT_EQ(r.out, c.out) << c.id;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.id << r.err;
    }
}

TEST(Info, RawFileShowsItsFirst64KiBAndADamagedChainCannotBeRead)
{
    std::vector<uint8_t> payload(70000);
    for (size_t k = 0; k < payload.size(); ++k)
        payload[k] = uint8_t('a' + k % 26);
    writer::CArchiveBuilder b(512);
    const auto entries = b.AddFilesAsTree({{0x01000002, StoredFile(0x01000002, payload)},
        {0x01000003, StoredFile(0x01000003, std::vector<uint8_t>(2000, 'z'))}});
    b.Poke32(entries[1].offset + 2 * 512, entries[1].offset + 512); // the third block links back
    fixture::CTempDir dir;
    ASSERT_TRUE(b.WriteFile(dir.File("a.dat")));

    const auto big = RunCli({"info", dir.File("a.dat"), "01000002"});
    EXPECT_EQ(big.status, 0) << big.err;
    // The ID word's control bytes show as middle dots.
    const std::string text = "\xC2\xB7  \xC2\xB7" + std::string(payload.begin(), payload.begin() + 65536 - 4);
    EXPECT_EQ(big.out, text + "\n(4468 more bytes not shown)\n");
    const auto looped = RunCli({"info", dir.File("a.dat"), "01000003"});
    EXPECT_EQ(looped.status, 3);
    EXPECT_NE(looped.err.find("it cannot be read"), std::string::npos) << looped.err;
}

TEST_F(InfoAndExport, ExportEverythingReportsBadFilesAndNamesEachVersion)
{
    // A file of an earlier export is replaced; the second version of 01000001 gets its own name.
    std::filesystem::create_directories(out);
    std::ofstream(out / "01000001.bin") << "earlier";
    const auto r = RunCli({"export", archive, out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
        std::string(kExportSummaryMessage)
            + "\n\n3 files not saved:\n06000004: does not decode\n"
              "0A000002: does not decode\n31000002: does not decode\n");
    EXPECT_EQ(fixture::FileNamesIn(out),
        (std::vector<std::string> {"01000001-v00020000.bin", "01000001.bin", "04000001.bmp", "06000001.bmp",
            "06000002.bmp", "06000003.bmp", "06000005.bmp", "0A000001.wav", "0A000003.wav", "31000001.txt"}));
    EXPECT_EQ(fixture::ReadWholeFile(out / "01000001.bin"), std::string("\x01\x00\x00\x01\x61\0b", 7));
}

// Runs the tool with SIGHUP ignored from the start and sends it SIGHUP every millisecond
// until it ends. Returns the wait status.
int RunWithHangUpsIgnored(const std::vector<std::string>& args)
{
    // Blocked across the fork, so that no signal sent reaches the child before it ignores it.
    sigset_t set, previous;
    sigemptyset(&set);
    sigaddset(&set, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &set, &previous);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGHUP, SIG_IGN);
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        std::vector<char*> argv {const_cast<char*>(ORVANEL_CLI_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(ORVANEL_CLI_PATH, argv.data());
        ::_exit(127);
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGHUP);
        ::usleep(1000);
    }
    return status;
}

TEST_F(InfoAndExport, HangUpIgnoredAtStartStaysIgnored)
{
    std::vector<FileSpec> many;
    for (uint32_t i = 0; i < 3000; ++i)
        many.push_back({0x02000000 + i, StoredFile(0x02000000 + i)});
    const std::string big = WriteArchive(m_dir, "big.dat", many, {3, 3});
    const int status = RunWithHangUpsIgnored({"export", big, out.string()});
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(fixture::FileNamesIn(out).size(), 3000u);
}

TEST_F(InfoAndExport, ExportByIDOrByLine)
{
    const auto byID = RunCli({"export", archive, out.string(), "31000001", "0x0A000001"});
    EXPECT_EQ(byID.status, 0) << byID.err;
    EXPECT_EQ(fixture::FileNamesIn(out), (std::vector<std::string> {"0A000001.wav", "31000001.txt"}));

    std::filesystem::remove_all(out);
    // Lines: 01, 04, 06, then the texture formats 0x16, 0x17, 0x1C, 0x29; line 5 is 8-bit.
    const auto byLine = RunCli({"export", archive, out.string(), "--line", "5"});
    EXPECT_EQ(byLine.status, 0) << byLine.err;
    EXPECT_EQ(fixture::FileNamesIn(out), std::vector<std::string> {"06000001.bmp"});

    const auto missingID = RunCli({"export", archive, out.string(), "0A0000FF"});
    EXPECT_EQ(missingID.status, 1);
    EXPECT_NE(missingID.err.find("0A0000FF"), std::string::npos);
    EXPECT_EQ(RunCli({"export", archive, out.string(), "--line", "99"}).status, 1);
}

const std::vector<uint8_t> kRGB(2 * 2 * 3, 0x40);
const std::vector<uint8_t> kRGBA(2 * 2 * 4, 0x80);

std::vector<FileSpec> Files()
{
    return {
        {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 20, kRGB)},
        {0x06000002, writer::MakeTextureRecord(0x06000002, 2, 2, 21, kRGBA)},
        {0x06000003, writer::MakeTextureRecord(0x06000003, 2, 2, 21, kRGBA)},
        {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 8000, 8), kRGB)},
        {0x05000001, StoredFile(0x05000001)},
        {0x01000001, StoredFile(0x01000001)},
    };
}

TEST(ExportFormat, PngWritesPicturesAsPngAndEverythingElseAsBefore)
{
    fixture::CTempDir dir;
    const std::string archive = WriteArchive(dir, "a.dat", Files());
    const std::vector<std::string> bmp {
        "01000001.bin", "05000001.bin", "06000001.bmp", "06000002.bmp", "06000003.bmp", "0A000001.wav"};
    const struct {
        std::vector<std::string> format;
        int status;
        std::vector<std::string> names;
    } kCases[] = {
        {{}, 0, bmp},
        {{"--format", "bmp"}, 0, bmp},
        {{"--format", "png"}, 0,
            {"01000001.bin", "05000001.bin", "06000001.png", "06000002.png", "06000003.png", "0A000001.wav"}},
        {{"--format", "gif"}, 2, {}},
    };
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const auto& c = kCases[i];
        const std::string out = dir.File("out" + std::to_string(i));
        std::vector<std::string> args {"export", archive, out};
        args.insert(args.end(), c.format.begin(), c.format.end());
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, c.status) << i << r.err;
        if (c.status == 0)
            EXPECT_EQ(fixture::FileNamesIn(out), c.names) << i;
        else
            EXPECT_FALSE(std::filesystem::exists(out)) << i;
    }
    // The 32-bit texture keeps its alpha, the 24-bit one has none.
    EXPECT_FALSE(fixture::ReadPNG(dir.File("out2/06000001.png")).HasAlpha());
    EXPECT_EQ(fixture::ReadPNG(dir.File("out2/06000002.png")).rgba.at(3), 0x80);
    EXPECT_NE(RunCli({"export", "--help"}).out.find("(default: bmp)"), std::string::npos);
}

TEST(ExportFormat, ByCategoryWritesEachFileIntoItsLinesFolder)
{
    fixture::CTempDir dir;
    auto files = Files();
    files.push_back({0x05000002, StoredFile(0x05000003)}); // bad: counted, not written
    files.push_back(
        {0x01000001, StoredFile(0x01000001, std::vector<uint8_t> {1}), 0x30000}); // a second version
    const std::string archive = WriteArchive(dir, "a.dat", files);
    const std::string out = dir.File("out");
    const auto r = RunCli({"export", archive, out, "--by-category", "--format", "png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("05000002: bad ID (its first word is 05000003)"), std::string::npos) << r.err;

    std::map<std::string, std::vector<std::string>> written;
    for (const std::string& folder : fixture::FileNamesIn(out))
        written[folder] = fixture::FileNamesIn(dir.Path() / "out" / folder);
    const std::map<std::string, std::vector<std::string>> expected = {
        {"01 - Simple Objects", {"01000001-v00020000.bin", "01000001.bin"}},
        {"05 - ???", {"05000001.bin"}},
        {"06 - 00000014 - 24bit", {"06000001.png"}},
        {"06 - 00000015 - 32bit", {"06000002.png", "06000003.png"}},
        {"0A - Sounds", {"0A000001.wav"}},
    };
    EXPECT_EQ(written, expected);

    // The same with good files only succeeds; IDs or a line cannot go with it.
    const std::string good = WriteArchive(dir, "good.dat", Files());
    EXPECT_EQ(RunCli({"export", good, dir.File("out2"), "--by-category"}).status, 0);
    EXPECT_EQ(fixture::FileNamesIn(dir.Path() / "out2" / "06 - 00000015 - 32bit"),
        (std::vector<std::string> {"06000002.bmp", "06000003.bmp"}));
    EXPECT_EQ(RunCli({"export", good, dir.File("out3"), "--by-category", "06000001"}).status, 2);
    EXPECT_EQ(RunCli({"export", good, dir.File("out3"), "--by-category", "--line", "1"}).status, 2);
}

TEST(ExportFormat, DiffExportsAddedAndChangedFilesInTheFormatAsked)
{
    fixture::CTempDir dir;
    const auto files = Files();
    // 06000002 changed, 05000001 and 06000001 the same, 01000009 removed, the others added.
    const std::string oldArchive = WriteArchive(dir, "old.dat",
        {files[0], {0x06000002, writer::MakeTextureRecord(0x06000002, 2, 2, 21, std::vector<uint8_t>(16, 1))},
            files[4], {0x01000009, StoredFile(0x01000009)}});
    const std::string newArchive = WriteArchive(dir, "new.dat", files);
    const auto r = RunCli({"diff", oldArchive, newArchive, "--export", dir.File("out"), "--format", "png"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(fixture::FileNamesIn(dir.Path() / "out"),
        (std::vector<std::string> {"01000001.bin", "06000002.png", "06000003.png", "0A000001.wav"}));
    EXPECT_EQ(RunCli({"diff", oldArchive, newArchive, "--format", "png"}).status, 2); // no --export
}

} // namespace
} // namespace orvanel
