#include "archive/ArchiveCompare.h"
#include "tests/support/CatalogueFixture.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using fixture::COpenedArchive;
using writer::CArchiveBuilder;
using writer::FileSpec;
using writer::StoredFile;

// Larger than the bytes compared in one stretch, so that a comparison has to resume.
constexpr size_t kLargeSize = (3 << 20) + 5;

std::vector<uint8_t> Pattern(uint32_t id, size_t size)
{
    std::vector<uint8_t> payload(size - 4);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t(i / 3 + i * 5);
    return StoredFile(id, payload);
}

TEST(ArchiveCompare, LongFilesAreComparedToTheirLastByte)
{
    CArchiveBuilder builder(4096);
    builder.AddFilesAsTree({{0x01000001, Pattern(0x01000001, kLargeSize)}});
    const COpenedArchive base(builder);
    ASSERT_TRUE(base.archive->BuildCatalogue());
    for (size_t flip : {size_t(4), size_t(1 << 20), kLargeSize - 1, size_t(0)}) {
        SCOPED_TRACE(flip);
        auto bytes = Pattern(0x01000001, kLargeSize);
        if (flip)
            bytes[flip] ^= 1;
        // Another block size and another place in the file: only the bytes count.
        CArchiveBuilder b(1024);
        b.AppendZeros(5000);
        b.AddFilesAsTree({{0x01000001, bytes}});
        const COpenedArchive other(b);
        ASSERT_TRUE(other.archive->BuildCatalogue());
        const auto d = CompareArchives(*base.archive, *other.archive);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->changed, flip ? 1u : 0u);
        EXPECT_EQ(d->unchanged, flip ? 0u : 1u);
    }
}

TEST(ArchiveCompare, ProgressReachesTheTotalAndCanCancel)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 20; ++i)
        files.push_back({0x01000000 + i, Pattern(0x01000000 + i, i == 7 ? kLargeSize : 100)});
    CArchiveBuilder builder(4096);
    builder.AddFilesAsTree(files);
    const COpenedArchive a(builder), b(builder);
    ASSERT_TRUE(a.archive->BuildCatalogue());
    ASSERT_TRUE(b.archive->BuildCatalogue());

    uint64_t last = 0, total = 0;
    size_t calls = 0;
    const auto d = CompareArchives(*a.archive, *b.archive, [&](uint64_t done, uint64_t all) {
        EXPECT_GE(done, last);
        last = done;
        total = all;
        ++calls;
        return true;
    });
    ASSERT_TRUE(d);
    EXPECT_EQ(d->unchanged, 20u);
    EXPECT_EQ(last, total);
    EXPECT_GT(calls, 20u); // the large file reports between its chunks too

    // Cancelled inside the large file: no result.
    size_t heard = 0;
    EXPECT_FALSE(CompareArchives(*a.archive, *b.archive, [&](uint64_t, uint64_t) { return ++heard < 9; }));
    EXPECT_EQ(heard, 9u);
}

} // namespace
} // namespace orvanel
