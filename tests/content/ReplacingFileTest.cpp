#include "content/ReplacingFile.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// fdatasync is wrapped at link time (-Wl,--wrap=fdatasync): each call records what the
// target held at that moment.
std::vector<std::string> g_syncs;
std::string g_target;

} // namespace

extern "C" int __real_fdatasync(int fd);
extern "C" int __wrap_fdatasync(int fd)
{
    g_syncs.push_back(orvanel::fixture::ReadWholeFile(g_target));
    return __real_fdatasync(fd);
}

namespace orvanel {
namespace {

// Writes text into out.bin of folder through a replacing file.
bool WriteAndCommit(COutputFolder& folder, const std::string& text)
{
    CReplacingFile file(folder);
    std::string reason;
    return file.Create() && file.Stream().Write(text.data(), text.size(), 1) == 1
        && file.Commit("out.bin", reason);
}

TEST(ReplacingFile, OnlyAReplacingFileIsFlushedAndThatBeforeTheRename)
{
    fixture::CTempDir dir;
    g_target = dir.File("out.bin");
    for (bool nameless : {true, false}) {
        std::filesystem::remove(g_target);
        g_syncs.clear();
        COutputFolder folder(dir.Path().string(), nameless);
        ASSERT_TRUE(WriteAndCommit(folder, "old content"));
        EXPECT_TRUE(g_syncs.empty()); // a new file loses nothing to a power cut
        ASSERT_TRUE(WriteAndCommit(folder, "new"));
        EXPECT_EQ(fixture::ReadWholeFile(g_target), "new");
        EXPECT_EQ(g_syncs, std::vector<std::string> {"old content"});
        EXPECT_EQ(fixture::FileNamesIn(dir.Path()), std::vector<std::string> {"out.bin"});
    }
}

// Replaced entries are let go in batches on threads of their own: however many are handed
// over (fewer than a batch, more than may be held at once), every one is closed by Finish.
TEST(ReplacedEntries, FinishHasLetGoOfEveryEntryHandedOver)
{
    fixture::CTempDir dir;
    const std::string file = dir.File("entry");
    ::close(::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0666));
    for (const int count : {1, 5, 16, 300, 20000}) {
        std::vector<int> handles;
        CReplacedEntries replaced;
        for (int k = 0; k < count; ++k) {
            const int fd = ::open(file.c_str(), O_PATH | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            handles.push_back(fd);
            replaced.Add(fd);
        }
        replaced.Finish();
        int open = 0;
        for (const int fd : handles)
            open += ::fcntl(fd, F_GETFD) != -1;
        EXPECT_EQ(open, 0) << count;
    }
}

} // namespace
} // namespace orvanel
