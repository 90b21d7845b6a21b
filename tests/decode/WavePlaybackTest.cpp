#include "decode/WaveSound.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

class WavePlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound.SetOutput(&device, &prompts);
        sound.SetViewer(&viewer);
    }
    // Samples that differ from their neighbours, so that a skipped or repeated buffer shows.
    void Load(size_t bytes, uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 8, uint16_t blockAlign = 1)
    {
        samples.resize(bytes);
        for (size_t i = 0; i < bytes; ++i)
            samples[i] = uint8_t(i * 7 + i / 251);
        WaveFormat format = writer::PCMFormat(channels, rate, bits);
        format.blockAlign = blockAlign;
        sound.SetWave(format, samples);
    }

    fixture::CFakeWaveOutDevice device;
    fixture::CFakePrompts prompts;
    fixture::CRecordingViewer viewer;
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
        uint16_t blockAlign;
    } cases[] = {
        {3000, 1, 22050, 8, 1},
        {2048, 1, 22050, 16, 2},
        {1600, 1, 22050, 8, 0}, // no whole frames: the marker stays at the start
        {3 * 176400 + 6, 2, 44100, 16, 4}, // three seconds of CD sound and a bit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        Load(c.bytes, c.channels, c.rate, c.bits, c.blockAlign);
        sound.Play();
        // A second of sound, or all of it, waits in the device, so that a busy moment of the
        // program does not leave the output without samples.
        EXPECT_GE(device.BytesInDevice(), std::min<size_t>(c.bytes, c.rate * c.channels * c.bits / 8));
        device.Play();
        EXPECT_EQ(device.heard, samples);
        EXPECT_FALSE(sound.IsOpen() || device.isOpen);
        EXPECT_EQ(viewer.positions.back(), 0u); // the marker is back at the start

        // Played again from a frame after its end, where the marker follows what the device has
        // played, not the buffers it has finished; then again from the first sample.
        const size_t start = 100 * c.blockAlign;
        sound.PlayFrom(100);
        device.Play(1500);
        EXPECT_EQ(device.heard, std::vector<uint8_t>(samples.begin() + start, samples.begin() + start + 1500));
        EXPECT_EQ(viewer.positions.back(), c.blockAlign ? 100 + 1500u / c.blockAlign : 0u);
        sound.Play();
        device.Play();
        EXPECT_EQ(device.heard, samples);
    }
}

TEST_F(WavePlayback, PauseHoldsTheSoundAndStopOrANewSoundCloses)
{
    Load(20000);
    sound.Play();
    device.Play(2048);
    sound.TogglePause();
    device.Play(4096); // nothing plays while paused
    EXPECT_EQ(viewer.positions.back(), 2048u);
    sound.TogglePause();
    device.Play(1000);
    EXPECT_EQ(device.heard, std::vector<uint8_t>(samples.begin(), samples.begin() + 3048));

    sound.TogglePause();
    sound.Stop();
    EXPECT_FALSE(sound.IsOpen() || sound.IsPaused() || device.isOpen);
    sound.TogglePause();
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    EXPECT_EQ(device.opened, 1);

    sound.Play(); // a new sound stops the playback first
    Load(500);
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
}

TEST_F(WavePlayback, NothingPlaysWithoutSamplesOrDevice)
{
    Load(0);
    sound.Play();
    EXPECT_EQ(device.opened, 0);
    Load(3000);
    sound.PlayFrom(3000); // its end: nothing left to play
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);

    device.opens = false;
    Load(3000);
    sound.Play();
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(prompts.informed, (std::vector<std::string>{"Unable to open sound device for playback!!!"}));
}

} // namespace
} // namespace orvanel
