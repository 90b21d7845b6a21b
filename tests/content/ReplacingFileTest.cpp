#include "content/ReplacingFile.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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

} // namespace
} // namespace orvanel
