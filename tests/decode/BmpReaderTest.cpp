// Written BMP files read back by Qt's image reader, which these tests did not write.

#include "decode/DibImage.h"
#include "tests/support/TempDir.h"

#include <QImage>
#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(BmpReader, QtReadsTwentyFourBitPixelsBack)
{
    // 5 × 3 (rows padded from 15 to 16 bytes), stored top row first.
    std::vector<uint8_t> bgr;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            bgr.insert(bgr.end(), {uint8_t(x * 50), uint8_t(y * 100), uint8_t(x * 10 + y)});
        bgr.push_back(0);
    }
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgr, 5, 3, 24, 16, true));
    fixture::CTempDir dir;
    const std::string path = dir.File("c.bmp");
    ASSERT_TRUE(image.Save(path, kImageTypeBMP));

    const QImage read(QString::fromStdString(path), "BMP");
    ASSERT_FALSE(read.isNull());
    ASSERT_EQ(read.width(), 5);
    ASSERT_EQ(read.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(read.pixel(x, y) & 0xFFFFFF, uint32_t((x * 10 + y) << 16 | (y * 100) << 8 | x * 50))
                << x << "," << y;
    EXPECT_EQ(read.dotsPerMeterX(), 3780);
}

TEST(BmpReader, QtReadsEightBitPaletteImageBack)
{
    const uint8_t levels[] = {0, 60, 120, 0, 180, 240, 255, 0};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(levels, 3, 2, 8, 4, true));
    fixture::CTempDir dir;
    const std::string path = dir.File("g.bmp");
    ASSERT_TRUE(image.Save(path, kImageTypeBMP));

    const QImage read(QString::fromStdString(path), "BMP");
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.colorCount(), 256);
    ASSERT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(qGray(read.pixel(1, 0)), 60);
    EXPECT_EQ(qGray(read.pixel(2, 1)), 255);
    EXPECT_EQ(read.pixel(0, 1) & 0xFFFFFF, 0xB4B4B4u);
}

} // namespace
} // namespace orvanel
