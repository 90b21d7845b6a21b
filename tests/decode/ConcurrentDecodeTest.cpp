// Decoding from several threads at once, as a pool of workers does: every thread decodes
// every picture of one open archive (palettes looked up in its catalogue included) and gets
// the pictures that one thread alone gets.

#include "decode/TextureDecoder.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tools/demo/DemoArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace orvanel {
namespace {

struct Record {
    const DATEntry* entry;
    DATFileBytes bytes;
};

std::vector<std::vector<uint8_t>> DecodeAll(const CDATArchive& archive, const std::vector<Record>& records)
{
    std::vector<std::vector<uint8_t>> results;
    for (const Record& r : records) {
        DecodedPicture picture;
        DecodePicture(archive, r.bytes, *r.entry, {.grey = true, .ownAlpha = true}, picture);
        std::vector<uint8_t> result(picture.colour.GetDib().begin(), picture.colour.GetDib().end());
        result.insert(result.end(), picture.grey.GetDib().begin(), picture.grey.GetDib().end());
        result.insert(result.end(), picture.alpha.begin(), picture.alpha.end());
        results.push_back(std::move(result));
    }
    return results;
}

TEST(ConcurrentDecode, ThreadsGetWhatOneThreadGets)
{
    const fixture::COpenedArchive opened(demo::WriteDemoArchive);
    CDATArchive& archive = *opened.archive;
    ASSERT_TRUE(archive.BuildCatalogue());
    std::vector<Record> records;
    for (uint8_t category : {kCategoryColourTable, kCategoryTexture})
        for (const DATEntry* entry : archive.CategoryLists().at(category))
            records.push_back({entry, archive.ReadFile(*entry).value_or(DATFileBytes{})});
    const auto alone = DecodeAll(archive, records);
    ASSERT_GT(std::ranges::count_if(alone, [](const auto& r) { return !r.empty(); }), 10);

    std::vector<std::vector<std::vector<uint8_t>>> together(4);
    std::vector<std::thread> threads;
    for (auto& results : together)
        threads.emplace_back([&] { results = DecodeAll(archive, records); });
    for (auto& t : threads)
        t.join();
    for (const auto& results : together)
        EXPECT_EQ(results, alone);
}

} // namespace
} // namespace orvanel
