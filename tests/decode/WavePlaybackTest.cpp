#include "decode/WaveSound.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/RecordBuilders.h"

#include <gtest/gtest.h>
#include <numeric>

namespace orvanel {
namespace {

using fixture::CFakePrompts;
using fixture::CFakeWaveOutDevice;
using fixture::PCMFormat;

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
    void TearDown() override { sound.SetViewer(nullptr); }

    void Load(size_t bytes, uint16_t bits = 8)
    {
        m_samples.assign(bytes, 0x80);
        sound.SetWave(PCMFormat(1, 22050, bits), m_samples);
    }
    std::vector<std::string> CallsSince(size_t first) const
    {
        return {device.calls.begin() + ptrdiff_t(first), device.calls.end()};
    }

    CFakeWaveOutDevice device;
    CFakePrompts prompts;
    CPositionViewer viewer;
    CWaveSound sound;

private:
    std::vector<uint8_t> m_samples;
};

struct StreamCase {
    size_t bytes;
    int prepared;
    std::vector<uint32_t> firstWrites;
};

TEST_F(WavePlayback, StreamsTheSoundInChunksAndStopsAfterTheLast)
{
    const std::vector<uint32_t> sixteen(16, 1024);
    const StreamCase cases[] = {
        {3000, 3, {1024, 1024, 952}},
        {2048, 2, {1024, 1024}},
        {200 * 1024, 80, sixteen},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        device = CFakeWaveOutDevice();
        viewer.positions.clear();
        Load(c.bytes);
        sound.Play();
        EXPECT_EQ(device.prepared, c.prepared);
        EXPECT_EQ(device.written, c.firstWrites);
        EXPECT_EQ(device.calls, (std::vector<std::string>{"open", "pause", "restart"}));
        EXPECT_TRUE(sound.IsOpen());

        // Each finished buffer lets the next in, keeping 16 in the device while any remain.
        const size_t buffers = (c.bytes + 1023) / 1024;
        for (size_t finished = 1; finished <= buffers; ++finished) {
            device.Finish(1);
            if (finished < buffers) {
                EXPECT_EQ(device.inDevice.size(), std::min<size_t>(16, buffers - finished));
                EXPECT_EQ(viewer.positions.back(), finished * 1024);
            }
        }
        EXPECT_EQ(std::accumulate(device.written.begin(), device.written.end(), size_t(0)), c.bytes);
        EXPECT_EQ(device.written.size(), buffers);
        EXPECT_FALSE(sound.IsOpen());
        EXPECT_EQ(viewer.positions.back(), 0u); // the marker is back at the start
        EXPECT_EQ(device.calls.back(), "close");
        EXPECT_EQ(device.unprepared, int(buffers));
    }
}

TEST_F(WavePlayback, PauseTwiceResumes)
{
    Load(3000);
    sound.Play();
    const size_t before = device.calls.size();
    sound.TogglePause();
    EXPECT_TRUE(sound.IsPaused());
    sound.TogglePause();
    EXPECT_FALSE(sound.IsPaused());
    EXPECT_EQ(CallsSince(before), (std::vector<std::string>{"pause", "restart"}));
    EXPECT_TRUE(sound.IsOpen());
}

TEST_F(WavePlayback, StopWhilePausedClosesAndLaterPauseDoesNothing)
{
    Load(200 * 1024);
    sound.Play();
    sound.TogglePause();
    sound.Stop();
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_FALSE(sound.IsPaused());
    EXPECT_TRUE(device.inDevice.empty());
    EXPECT_EQ(device.calls.back(), "close");
    // Every buffer prepared was unprepared: the 64 ready ones by the sound, the 16 in the
    // device when it handed them back.
    EXPECT_EQ(device.unprepared, 64);

    const size_t before = device.calls.size();
    sound.TogglePause();
    sound.Stop();
    EXPECT_EQ(device.calls.size(), before);
}

TEST_F(WavePlayback, PlayWhilePlayingStartsAgain)
{
    Load(200 * 1024);
    sound.Play();
    device.Finish(5);
    const size_t before = device.calls.size();
    device.written.clear();
    sound.Play();
    EXPECT_EQ(CallsSince(before),
        (std::vector<std::string>{"pause", "reset", "close", "open", "pause", "restart"}));
    EXPECT_EQ(device.inDevice.size(), 16u);
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples());
    EXPECT_EQ(viewer.positions.back(), 0u);
}

TEST_F(WavePlayback, NewSoundStopsPlaybackFirst)
{
    Load(3000);
    sound.Play();
    Load(500);
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_TRUE(device.inDevice.empty());
    EXPECT_EQ(device.calls.back(), "close");
}

TEST_F(WavePlayback, PlayFromAFrameStartsThereWithTheMarker)
{
    Load(3000, 16);
    sound.PlayFrom(500);
    EXPECT_EQ(device.written, (std::vector<uint32_t>{1024, 976}));
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples() + 1000);
    EXPECT_EQ(viewer.positions.back(), 500u);
    device.Finish(1);
    EXPECT_EQ(viewer.positions.back(), 1012u);
    device.Finish(1);
    EXPECT_FALSE(sound.IsOpen());

    sound.PlayFrom(1500); // at the end: nothing to play
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(WavePlayback, DeviceThatCannotOpenTellsTheUser)
{
    device.opens = false;
    Load(3000);
    sound.Play();
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(prompts.informed, (std::vector<std::string>{"Unable to open sound device for playback!!!"}));
    EXPECT_TRUE(device.written.empty());
}

TEST_F(WavePlayback, SoundWithoutSamplesDoesNotPlay)
{
    Load(0);
    sound.Play();
    sound.SetWave(WaveFormat{}, {}); // not PCM: empty
    sound.Play();
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(WavePlayback, ZeroBlockAlignmentPlaysWithoutDividing)
{
    WaveFormat format = PCMFormat(1, 8000, 8);
    format.blockAlign = 0;
    const std::vector<uint8_t> samples(1500, 0x80);
    sound.SetWave(format, samples);
    sound.Play();
    device.Finish(1);
    EXPECT_EQ(viewer.positions.back(), 0u);
    device.Finish(1);
    EXPECT_FALSE(sound.IsOpen());
}

} // namespace
} // namespace orvanel
