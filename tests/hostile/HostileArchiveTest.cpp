#include "archive/DATArchive.h"
#include "tests/hostile/HostileRunner.h"
#include "tests/support/FakePrompts.h"
#include "writer/TempDir.h"
#include "writer/ArchiveBuilder.h"
#include "writer/DamagedArchives.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvanel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Sanitizers slow everything down and keep freed memory in quarantine: only the bounds that
// still mean something there are checked.
constexpr double kTimeLimitSeconds = kSanitized ? 20.0 : 1.0;

class HostileArchive : public ::testing::TestWithParam<writer::DamagedArchive> { };

TEST_P(HostileArchive, OpensListsShowsAndExportsWithinBounds)
{
    fixture::CTempDir dir;
    const auto out = dir.Path() / "out";
    std::filesystem::create_directory(out);
    const hostile::RunReport report = hostile::OpenListShowAndExportAll(
        GetParam().build, dir.File("hostile.dat"), out.string(), kTimeLimitSeconds);
    EXPECT_TRUE(report.exitedNormally) << "crashed, hung or was stopped";
    EXPECT_LT(report.seconds, kTimeLimitSeconds);
    if (!kSanitized) {
        const uint64_t allowed = 64 * report.archiveBytes + (16u << 20);
        EXPECT_LE(report.peakGrowthBytes, allowed)
            << "archive of " << report.archiveBytes << " bytes took " << report.peakGrowthBytes << " bytes";
    }
    // Whatever was exported is complete: no temporaries are left behind.
    for (const auto& file : std::filesystem::directory_iterator(out))
        EXPECT_NE(file.path().filename().string()[0], '.') << file.path();
}

} // namespace

namespace writer {
// Names the case in test output instead of dumping its bytes.
void PrintTo(const DamagedArchive& archive, std::ostream* out)
{
    *out << archive.name;
}
} // namespace writer

namespace {

INSTANTIATE_TEST_SUITE_P(Corpus, HostileArchive, ::testing::ValuesIn(writer::DamagedArchives()),
    [](const ::testing::TestParamInfo<writer::DamagedArchive>& info) { return info.param.name; });

TEST(HostileHeader, TruncatedAtEveryOffsetIsRefusedWithAMessage)
{
    writer::CArchiveBuilder b(64);
    b.AddFilesAsTree({{0x01000001, writer::StoredFile(0x01000001)}});
    const std::vector<uint8_t> full = b.Build();
    fixture::CTempDir dir;
    const std::string path = dir.File("short.dat");
    for (size_t length = 0; length < kDATHeaderEnd; ++length) {
        ASSERT_TRUE(writer::WriteWholeFile(path, std::span(full).first(length)));
        fixture::CFakePrompts prompts(true);
        CNoBusyIndicator busy;
        CDATArchive archive(path, prompts, busy);
        EXPECT_FALSE(archive.BuildCatalogue()) << length;
        EXPECT_EQ(prompts.informed.size(), 1u) << length;
        EXPECT_TRUE(archive.CategoryLists().empty());
    }
}

} // namespace
} // namespace orvanel
