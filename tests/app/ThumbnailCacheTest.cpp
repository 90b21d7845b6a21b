// The thumbnail cache: what stays within its budget, and in which order thumbnails go.

#include "app/ThumbnailCache.h"

#include <gtest/gtest.h>

#include <string>

namespace orvanel {
namespace {

std::shared_ptr<ThumbnailPixels> Pixels(uint32_t edge, uint32_t colour)
{
    auto pixels = std::make_shared<ThumbnailPixels>();
    pixels->width = pixels->height = edge;
    pixels->argb.assign(size_t(edge) * edge, colour);
    return pixels;
}

ThumbnailKey Key(uint32_t id)
{
    return ThumbnailKey::Of(DATEntry{0x20000, id, 0x400, 100}, 8);
}

TEST(ThumbnailCacheTest, LeastRecentlyUsedGoFirstAndTheBudgetHolds)
{
    const size_t one = Pixels(8, 0)->Bytes();
    // Steps: 'i' inserts, 'f' finds (marks as used); then the IDs expected kept.
    const struct {
        const char* steps;
        std::vector<uint32_t> ids;
        std::vector<uint32_t> kept;
    } cases[] = {
        {"iii", {1, 2, 3}, {1, 2, 3}},
        {"iiii", {1, 2, 3, 4}, {2, 3, 4}},
        {"iifii", {1, 2, 1, 3, 4}, {1, 3, 4}},
        {"iiiffi", {1, 2, 3, 2, 1, 4}, {1, 2, 4}},
        {"iiii", {1, 2, 1, 3}, {1, 2, 3}}, // inserting a kept key again replaces it
    };
    for (const auto& test : cases) {
        CThumbnailCache cache(3 * one);
        for (size_t i = 0; test.steps[i]; ++i) {
            if (test.steps[i] == 'i')
                cache.Insert(Key(test.ids[i]), Pixels(8, test.ids[i]));
            else
                EXPECT_NE(cache.Find(Key(test.ids[i])), nullptr);
        }
        EXPECT_LE(cache.BytesUsed(), cache.Budget()) << test.steps;
        EXPECT_EQ(cache.Count(), test.kept.size()) << test.steps;
        for (uint32_t id : test.kept) {
            const auto found = cache.Find(Key(id));
            ASSERT_NE(found, nullptr) << test.steps << ' ' << id;
            EXPECT_EQ(found->argb[0], id);
        }
    }
}

} // namespace
} // namespace orvanel
