#include "content/ReplacingFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// fdatasync is wrapped at link time (-Wl,--wrap=fdatasync): each call records the file it
// flushed and what the target held at that moment.
struct SyncRecord {
    std::string flushed;
    std::string targetThen;
};
std::vector<SyncRecord> g_syncs;
std::string g_target;

} // namespace

extern "C" int __real_fdatasync(int fd);
extern "C" int __wrap_fdatasync(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::error_code ec;
    g_syncs.push_back({std::filesystem::read_symlink(link, ec).string(),
        orvanel::fixture::ReadWholeFile(g_target)});
    return __real_fdatasync(fd);
}

namespace orvanel {
namespace {

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class ReplacingFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_syncs.clear();
        g_target = m_dir.File("out.bin");
    }
    fixture::CTempDir m_dir;
};

TEST_F(ReplacingFile, ReplacingAFileFlushesTheNewDataBeforeTheRename)
{
    Write(g_target, "old content");
    std::string temp;
    {
        CReplacingFile file(g_target);
        ASSERT_TRUE(file.Create());
        temp = std::filesystem::canonical(file.TempPath()).string();
        Write(file.TempPath(), "new");
        EXPECT_EQ(fixture::ReadWholeFile(g_target), "old content"); // untouched until the commit
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(fixture::ReadWholeFile(g_target), "new");
    EXPECT_EQ(fixture::FileNamesIn(m_dir.Path()).size(), 1u);
    ASSERT_EQ(g_syncs.size(), 1u);
    EXPECT_EQ(g_syncs[0].flushed, temp);
    EXPECT_EQ(g_syncs[0].targetThen, "old content");
}

TEST_F(ReplacingFile, ANewFileNeedsNoFlush)
{
    CReplacingFile file(g_target);
    ASSERT_TRUE(file.Create());
    Write(file.TempPath(), "new");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(fixture::ReadWholeFile(g_target), "new");
    EXPECT_TRUE(g_syncs.empty());
}

TEST_F(ReplacingFile, AbandonedOrInterruptedWriteLeavesTheTargetAndNoTemporary)
{
    Write(g_target, "keep me");
    {
        CReplacingFile file(g_target);
        ASSERT_TRUE(file.Create());
        Write(file.TempPath(), "partial");
    }
    EXPECT_EQ(fixture::ReadWholeFile(g_target), "keep me");
    {
        CReplacingFile file(m_dir.File("new.bin"));
        ASSERT_TRUE(file.Create());
        RemovePendingReplacingFile(); // what an interrupt does
        EXPECT_FALSE(std::filesystem::exists(file.TempPath()));
    }
    EXPECT_EQ(fixture::FileNamesIn(m_dir.Path()), std::vector<std::string>{"out.bin"});

    CReplacingFile missing(m_dir.File("no/such/folder/out.bin"));
    EXPECT_FALSE(missing.Create());
    EXPECT_FALSE(missing.Commit());
}

} // namespace
} // namespace orvanel
