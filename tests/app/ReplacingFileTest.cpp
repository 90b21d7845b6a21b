#include "app/ReplacingFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvanel {
namespace {

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

size_t FileCount(const std::filesystem::path& dir)
{
    return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
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
        EXPECT_EQ(Read(target), "old content"); // untouched until the commit
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(FileCount(dir.Path()), 1u);
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
    EXPECT_EQ(Read(target), "keep me");
    EXPECT_EQ(FileCount(dir.Path()), 1u);

    {
        CReplacingFile file(dir.File("new.bin"));
        ASSERT_TRUE(file.Create());
        RemovePendingReplacingFile(); // what an interrupt does
        EXPECT_FALSE(std::filesystem::exists(file.TempPath()));
    }
    EXPECT_EQ(FileCount(dir.Path()), 1u);
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
