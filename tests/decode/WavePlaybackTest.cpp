#include "decode/WaveSound.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>
#include <numeric>

namespace orvanel {
namespace {

using Calls = std::vector<std::string>;

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
    void Load(size_t bytes, uint16_t bits = 8, uint16_t blockAlign = 1)
    {
        WaveFormat format = writer::PCMFormat(1, 22050, bits);
        format.blockAlign = blockAlign;
        m_samples.assign(bytes, 0x80);
        sound.SetWave(format, m_samples);
    }
    Calls CallsSince(size_t first) const
    {
        return {device.calls.begin() + ptrdiff_t(first), device.calls.end()};
    }

    fixture::CFakeWaveOutDevice device;
    fixture::CFakePrompts prompts;
    CPositionViewer viewer;
    CWaveSound sound;

private:
    std::vector<uint8_t> m_samples;
};

TEST_F(WavePlayback, StreamsTheSoundInChunksAndStopsAfterTheLast)
{
    const struct {
        size_t bytes;
        int prepared;
        std::vector<uint32_t> firstWrites;
    } cases[] = {
        {3000, 3, {1024, 1024, 952}},
        {2048, 2, {1024, 1024}},
        {200 * 1024, 80, std::vector<uint32_t>(16, 1024)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        device = {};
        Load(c.bytes);
        sound.Play();
        EXPECT_EQ(device.prepared, c.prepared);
        EXPECT_EQ(device.written, c.firstWrites);
        EXPECT_EQ(device.calls, (Calls{"open", "pause", "restart"}));

        // Each finished buffer lets the next in, keeping 16 in the device while any remain.
        const size_t buffers = (c.bytes + 1023) / 1024;
        for (size_t finished = 1; finished < buffers; ++finished) {
            device.Finish(1);
            EXPECT_EQ(device.inDevice.size(), std::min<size_t>(16, buffers - finished));
            EXPECT_EQ(viewer.positions.back(), finished * 1024);
        }
        EXPECT_TRUE(sound.IsOpen());
        device.Finish(1);
        EXPECT_FALSE(sound.IsOpen());
        EXPECT_EQ(std::accumulate(device.written.begin(), device.written.end(), size_t(0)), c.bytes);
        EXPECT_EQ(viewer.positions.back(), 0u); // the marker is back at the start
        EXPECT_EQ(device.calls.back(), "close");
        EXPECT_EQ(device.unprepared, int(buffers));
    }
}

TEST_F(WavePlayback, PauseTwiceResumesAndStopWhilePausedCloses)
{
    Load(200 * 1024);
    sound.Play();
    sound.TogglePause();
    EXPECT_TRUE(sound.IsPaused());
    sound.TogglePause();
    EXPECT_FALSE(sound.IsPaused());
    sound.TogglePause();
    sound.Stop();
    EXPECT_EQ(CallsSince(3), (Calls{"pause", "restart", "pause", "pause", "reset", "close"}));
    EXPECT_FALSE(sound.IsOpen() || sound.IsPaused());
    // The 64 ready buffers unprepared by the sound, the 16 in the device when handed back.
    EXPECT_EQ(device.unprepared, 80);

    sound.TogglePause();
    sound.Stop();
    EXPECT_EQ(device.calls.size(), 9u);
}

TEST_F(WavePlayback, PlayAgainOrANewSoundStopsFirst)
{
    Load(200 * 1024);
    sound.Play();
    device.Finish(5);
    sound.Play();
    EXPECT_EQ(CallsSince(3), (Calls{"pause", "reset", "close", "open", "pause", "restart"}));
    EXPECT_EQ(device.inDevice.size(), 16u);
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples());
    EXPECT_EQ(viewer.positions.back(), 0u);

    Load(500);
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_TRUE(device.inDevice.empty());
    EXPECT_EQ(device.calls.back(), "close");
}

TEST_F(WavePlayback, PlayFromAFrameStartsThereWithTheMarker)
{
    Load(3000, 16, 2);
    sound.PlayFrom(500);
    EXPECT_EQ(device.written, (std::vector<uint32_t>{1024, 976}));
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples() + 1000);
    EXPECT_EQ(viewer.positions.back(), 500u);
    device.Finish(1);
    EXPECT_EQ(viewer.positions.back(), 1012u);
    device.Finish(1);
    EXPECT_FALSE(sound.IsOpen());

    sound.PlayFrom(1500); // the end: nothing left to play
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(WavePlayback, ZeroBlockAlignmentPlaysWithoutDividing)
{
    Load(1500, 8, 0);
    sound.Play();
    device.Finish(1);
    EXPECT_EQ(viewer.positions.back(), 0u);
    device.Finish(1);
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(WavePlayback, NothingPlaysWithoutSamplesOrDevice)
{
    Load(0);
    sound.Play();
    EXPECT_TRUE(device.calls.empty());

    device.opens = false;
    Load(3000);
    sound.Play();
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_TRUE(device.written.empty());
    EXPECT_EQ(prompts.informed, (std::vector<std::string>{"Unable to open sound device for playback!!!"}));
}

} // namespace
} // namespace orvanel
