#include "controls/WaveViewer.h"
#include "writer/RecordBuilders.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvanel {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

// Pixels of the colour, in one column or (-1) in all.
int Count(const QImage& image, QRgb colour, int column = -1)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (column < 0 || x == column) && image.pixel(x, y) == colour;
    return count;
}

class WaveViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        viewer.resize(300, 120);
        viewer.SetSound(&sound);
        viewer.show();
    }
    QImage Load(WaveFormat format, std::vector<uint8_t> samples)
    {
        m_samples = std::move(samples);
        sound.SetWave(format, m_samples);
        return viewer.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    CWaveSound sound;
    CWaveViewer viewer;

private:
    std::vector<uint8_t> m_samples;
};

TEST_F(WaveViewer, BarsFollowTheLoudestSampleOfTheirColumnOverTheCentreLine)
{
    // Silence: only the centre line across, and the position marker at its start.
    std::vector<uint8_t> samples(22050, 128);
    QImage image = Load(writer::PCMFormat(1, 22050, 8), samples);
    EXPECT_EQ(Count(image, kGreen), 0);
    EXPECT_GT(Count(image, kYellow), image.width() * 9 / 10);
    int nearStart = 0;
    for (int x = 0; x < 5; ++x)
        nearStart += Count(image, kRed, x);
    EXPECT_GT(nearStart, 0);
    EXPECT_EQ(nearStart, Count(image, kRed));

    std::fill(samples.begin() + 11025, samples.end(), 255);
    image = Load(writer::PCMFormat(1, 22050, 8), samples);
    EXPECT_EQ(Count(image, kGreen, image.width() / 4), 0);
    const int loud = image.width() * 3 / 4;
    EXPECT_GT(Count(image, kGreen, loud) + Count(image, kYellow, loud), viewer.height() / 2);

    Load(writer::PCMFormat(1, 22050, 16), std::vector<uint8_t>(44100, 0));
    EXPECT_EQ(viewer.accessibleName(), QStringLiteral("22050 Hz, 16 bits, 1 channels, 1.0s"));
    // A sound without whole frames draws no bars or marker and lasts no time.
    WaveFormat noAlignment = writer::PCMFormat(1, 22050, 16);
    noAlignment.blockAlign = 0;
    const WaveFormat stereo = writer::PCMFormat(2, 22050, 16); // 4 bytes a frame
    for (const auto& [format, bytes] : {std::pair {noAlignment, 1000}, std::pair {stereo, 3}}) {
        image = Load(format, std::vector<uint8_t>(size_t(bytes), 255));
        EXPECT_EQ(Count(image, kGreen) + Count(image, kRed), 0);
        EXPECT_TRUE(viewer.accessibleName().endsWith(QStringLiteral("0.0s")));
    }
}

TEST(WaveViewerLink, SoundDestroyedFirstLeavesTheViewerEmpty)
{
    CWaveViewer viewer;
    {
        CWaveSound sound;
        viewer.SetSound(&sound);
    }
    EXPECT_EQ(viewer.GetSound(), nullptr);
    viewer.resize(50, 50);
    EXPECT_EQ(viewer.grab().toImage().pixel(25, 25), qRgb(0, 0, 0));
}

} // namespace
} // namespace orvanel
