#include "decode/WaveSound.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

class CPositionViewer final : public IWaveViewer {
public:
    void OnWaveDataChanged() override {}
    void OnWavePositionChanged(uint32_t frames) override { positions.push_back(frames); }
    std::vector<uint32_t> positions;
};

class WavePlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound.SetOutput(&device, &prompts);
        sound.SetViewer(&viewer);
    }
    // Samples that differ from their neighbours, so that a skipped or repeated buffer shows.
    void Load(size_t bytes, uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 8)
    {
        samples.resize(bytes);
        for (size_t i = 0; i < bytes; ++i)
            samples[i] = uint8_t(i * 7 + i / 251);
        sound.SetWave(writer::PCMFormat(channels, rate, bits), samples);
    }
    std::vector<uint8_t> From(size_t offset) const { return {samples.begin() + ptrdiff_t(offset), samples.end()}; }

    fixture::CFakeWaveOutDevice device;
    fixture::CFakePrompts prompts;
    CPositionViewer viewer;
    CWaveSound sound;
    std::vector<uint8_t> samples;
};

TEST_F(WavePlayback, EveryPlayIsHeardWholeFromTheStartAndStopsAtTheEnd)
{
    const struct {
        size_t bytes;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    } cases[] = {
        {3000, 1, 22050, 8},
        {2048, 1, 22050, 8},
        {3 * 176400 + 6, 2, 44100, 16}, // three seconds of CD sound and a bit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        Load(c.bytes, c.channels, c.rate, c.bits);
        sound.Play();
        // A second of sound, or all of it, waits in the device, so that a busy moment of the
        // program does not leave the output without samples.
        EXPECT_GE(device.BytesInDevice(), std::min<size_t>(c.bytes, c.rate * c.channels * c.bits / 8));
        device.Play();
        EXPECT_EQ(device.heard, samples);
        EXPECT_FALSE(sound.IsOpen() || device.isOpen);
        EXPECT_EQ(viewer.positions.back(), 0u); // the marker is back at the start

        // Played again after its end, and again while it plays: each time from the first sample.
        sound.Play();
        device.Play(1500);
        sound.Play();
        device.Play();
        EXPECT_EQ(device.heard, samples);
        EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    }
}

TEST_F(WavePlayback, MarkerShowsWhatTheDeviceHasPlayed)
{
    Load(40000, 2, 22050, 16); // four bytes a frame
    const struct {
        uint32_t startFrame;
        size_t played;
    } cases[] = {{0, 1500}, {0, 5000}, {2000, 1030}, {9000, 3999}};
    for (const auto& c : cases) {
        sound.PlayFrom(c.startFrame);
        device.Play(c.played);
        EXPECT_EQ(viewer.positions.back(), c.startFrame + c.played / 4) << c.startFrame << " " << c.played;
        device.Play();
        EXPECT_EQ(device.heard, From(c.startFrame * 4u));
    }
    sound.PlayFrom(10000); // the end: nothing left to play
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
}

TEST_F(WavePlayback, PauseHoldsTheSoundAndStopWhilePausedCloses)
{
    Load(20000);
    sound.Play();
    device.Play(2048);
    sound.TogglePause();
    device.Play(4096);
    EXPECT_TRUE(sound.IsPaused());
    EXPECT_EQ(device.heard.size(), 2048u);
    EXPECT_EQ(viewer.positions.back(), 2048u);
    sound.TogglePause();
    device.Play(1000);
    EXPECT_EQ(device.heard, std::vector<uint8_t>(samples.begin(), samples.begin() + 3048));

    sound.TogglePause();
    sound.Stop();
    EXPECT_FALSE(sound.IsOpen() || sound.IsPaused() || device.isOpen);
    EXPECT_TRUE(device.inDevice.empty());
    sound.TogglePause();
    sound.Stop();
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    EXPECT_EQ(device.opened, 1);
}

TEST_F(WavePlayback, NewSoundStopsThePlaybackFirst)
{
    Load(20000);
    sound.Play();
    device.Play(1000);
    Load(500);
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    EXPECT_TRUE(device.inDevice.empty());
}

TEST_F(WavePlayback, ZeroBlockAlignmentPlaysWithoutDividing)
{
    Load(1500);
    WaveFormat format = sound.GetFormat();
    format.blockAlign = 0;
    sound.SetWave(format, samples);
    sound.Play();
    device.Play(1024);
    EXPECT_EQ(viewer.positions.back(), 0u);
    device.Play();
    EXPECT_EQ(device.heard, samples);
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(WavePlayback, NothingPlaysWithoutSamplesOrDevice)
{
    Load(0);
    sound.Play();
    EXPECT_EQ(device.opened, 0);

    device.opens = false;
    Load(3000);
    sound.Play();
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_TRUE(device.inDevice.empty());
    EXPECT_EQ(prompts.informed, (std::vector<std::string>{"Unable to open sound device for playback!!!"}));
}

} // namespace
} // namespace orvanel
