#include "app/ReplacingFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvanel {
namespace {

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ReplacingFile, CommitReplacesTheTargetWhole)
{
    fixture::CTempDir dir;
    const std::string target = dir.File("out.bin");
    Write(target, "old content");
    {
        CReplacingFile file(target);
        ASSERT_TRUE(file.Create());
        EXPECT_NE(file.TempPath(), target);
        Write(file.TempPath(), "new");
        EXPECT_EQ(fixture::ReadWholeFile(target), "old content"); // untouched until the commit
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(fixture::ReadWholeFile(target), "new");
    EXPECT_EQ(fixture::FileNamesIn(dir.Path()).size(), 1u);
}

TEST(ReplacingFile, AbandonedWriteLeavesTheTargetAndNoTemporary)
{
    fixture::CTempDir dir;
    const std::string target = dir.File("out.bin");
    Write(target, "keep me");
    {
        CReplacingFile file(target);
        ASSERT_TRUE(file.Create());
        Write(file.TempPath(), "partial");
    }
    EXPECT_EQ(fixture::ReadWholeFile(target), "keep me");
    EXPECT_EQ(fixture::FileNamesIn(dir.Path()).size(), 1u);

    {
        CReplacingFile file(dir.File("new.bin"));
        ASSERT_TRUE(file.Create());
        RemovePendingReplacingFile(); // what an interrupt does
        EXPECT_FALSE(std::filesystem::exists(file.TempPath()));
    }
    EXPECT_EQ(fixture::FileNamesIn(dir.Path()).size(), 1u);
}

TEST(ReplacingFile, MissingFolderRefusesTheFile)
{
    fixture::CTempDir dir;
    CReplacingFile file(dir.File("no/such/folder/out.bin"));
    EXPECT_FALSE(file.Create());
    EXPECT_FALSE(file.Commit());
}

} // namespace
} // namespace orvanel
