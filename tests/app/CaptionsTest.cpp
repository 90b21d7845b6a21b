#include "app/Captions.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(ImageCaption, SizeDepthAndScale)
{
    EXPECT_EQ(ImageCaption(64, 64, 24, 1.0f, 0, 0), "64 x 64 x 24 x 100%");
    EXPECT_EQ(ImageCaption(16, 16, 24, 8.0f, 0, 0), "16 x 16 x 24 x 800%");
    EXPECT_EQ(ImageCaption(4000000000u, 1, 8, 0.5f, 7, 1), "4000000000 x 1 x 8 x 50%");
}

TEST(ImageCaption, NoteSuffixes)
{
    EXPECT_EQ(ImageCaption(8, 4, 24, 1.0f, 1, 0x0400ABCD), "8 x 4 x 24 x 100% (0400ABCD, Not Found)");
    EXPECT_EQ(ImageCaption(8, 4, 24, 1.0f, 2, 0x0400ABCD), "8 x 4 x 24 x 100% (0400ABCD)");
    EXPECT_EQ(ImageCaption(8, 4, 8, 1.0f, 3, 0x0400ABCD), "8 x 4 x 8 x 100% (Greyscale)");
}

TEST(BadFile, FiveLinesWithBothIDs)
{
    EXPECT_EQ(BadFileMessage(0x0600ABCD, 0xDEADBEEF),
        "Bad/Corrupted File!!!\n\nID should be 0600ABCD\n\nID is set to DEADBEEF");
}

TEST(SoundLabel, RateBitsChannelsAndDuration)
{
    EXPECT_EQ(SoundLabel(22050, 16, 1, 2, 44100), "22050 Hz, 16 bits, 1 channels, 1.0s");
    EXPECT_EQ(SoundLabel(44100, 16, 2, 4, 44100 * 4 * 5 / 2), "44100 Hz, 16 bits, 2 channels, 2.5s");
    // Nothing to divide by: no duration rather than a division by zero.
    EXPECT_EQ(SoundLabel(0, 0, 0, 0, 100), "0 Hz, 0 bits, 0 channels, 0.0s");
    EXPECT_EQ(SoundLabel(8000, 8, 1, 0, 100), "8000 Hz, 8 bits, 1 channels, 0.0s");
}

} // namespace
} // namespace orvanel
