#include "controls/WaveViewer.h"
#include "tests/support/RecordBuilders.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace orvanel {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

int Count(const QImage& image, QRgb colour, int column = -1)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((column < 0 || x == column) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
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
    void Load(WaveFormat format, std::vector<uint8_t> samples)
    {
        m_samples = std::move(samples);
        sound.SetWave(format, m_samples);
    }
    QImage Grab() { return viewer.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The waveform's area: inside the outer frame and its own, above the label strip.
    int WaveLeft() const { return 2; }
    int WaveWidth() const { return viewer.width() - 4; }

    CWaveSound sound;
    CWaveViewer viewer;

private:
    std::vector<uint8_t> m_samples;
};

TEST_F(WaveViewer, LabelDescribesTheFormat)
{
    Load(fixture::PCMFormat(1, 22050, 16), std::vector<uint8_t>(44100, 0));
    const QImage image = Grab();
    EXPECT_EQ(viewer.accessibleName(), QStringLiteral("22050 Hz, 16 bits, 1 channels, 1.0s"));
    EXPECT_GT(Count(image, qRgb(255, 255, 255)), 20); // the label's text
}

TEST_F(WaveViewer, SilentSoundDrawsOnlyTheCentreLine)
{
    Load(fixture::PCMFormat(1, 22050, 8), std::vector<uint8_t>(22050, 128));
    const QImage image = Grab();
    EXPECT_EQ(Count(image, kGreen), 0);
    // The whole width of the waveform but the marker's pixel at the start.
    EXPECT_EQ(Count(image, kYellow), WaveWidth() - 1);
    EXPECT_EQ(Count(image, kRed, WaveLeft()), Count(image, kRed));
}

TEST_F(WaveViewer, BarsGrowWithTheLoudestSampleOfTheirColumn)
{
    // Quiet first half, loud second half: no bars on the left, full bars on the right.
    std::vector<uint8_t> samples(22050, 128);
    std::fill(samples.begin() + 11025, samples.end(), 255);
    Load(fixture::PCMFormat(1, 22050, 8), samples);
    const QImage image = Grab();
    const int quiet = WaveLeft() + WaveWidth() / 4;
    const int loud = WaveLeft() + WaveWidth() * 3 / 4;
    EXPECT_EQ(Count(image, kGreen, quiet), 0);
    const int fullBar = Count(image, kGreen, loud) + Count(image, kYellow, loud);
    EXPECT_GT(fullBar, viewer.height() / 2);
}

TEST_F(WaveViewer, MarkerFollowsThePlayedPosition)
{
    Load(fixture::PCMFormat(2, 22050, 16), std::vector<uint8_t>(88200, 0));
    sound.NotifyViewerPosition(11025); // half of 22,050 frames
    QImage image = Grab();
    const int half = WaveLeft() + WaveWidth() / 2;
    EXPECT_GT(Count(image, kRed, half), 10);
    EXPECT_EQ(Count(image, kRed), Count(image, kRed, half));

    // Resizing renders again at the new size; the marker keeps its proportional place.
    viewer.resize(500, 200);
    image = Grab();
    EXPECT_EQ(image.width(), 500);
    EXPECT_EQ(Count(image, kYellow), WaveWidth() - 1);
    EXPECT_GT(Count(image, kRed, WaveLeft() + WaveWidth() / 2), 10);
}

TEST_F(WaveViewer, SoundWithoutWholeFramesDrawsNoBarsOrMarker)
{
    WaveFormat noAlignment = fixture::PCMFormat(1, 22050, 16);
    noAlignment.blockAlign = 0;
    const WaveFormat shortOfAFrame = fixture::PCMFormat(2, 22050, 16);
    for (const auto& [format, bytes] : {std::pair{noAlignment, 1000}, std::pair{shortOfAFrame, 3}}) {
        std::vector<uint8_t> samples(size_t(bytes), 255);
        Load(format, samples);
        const QImage image = Grab();
        EXPECT_EQ(Count(image, kGreen), 0);
        EXPECT_EQ(Count(image, kRed), 0);
        EXPECT_TRUE(viewer.accessibleName().endsWith(QStringLiteral("0.0s")));
    }
}

} // namespace
} // namespace orvanel
