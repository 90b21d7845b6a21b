#include "archive/ByteOrder.h"
#include "decode/SoundRecord.h"
#include "decode/WaveFile.h"
#include "decode/WaveSound.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"
#include "writer/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>

namespace orvanel {
namespace {

using writer::MakeSoundRecord;
using writer::PCMFormat;

constexpr uint32_t kSound = 0x0A000005;

std::vector<uint8_t> Samples(size_t count, uint8_t first = 1)
{
    std::vector<uint8_t> samples(count);
    std::iota(samples.begin(), samples.end(), first);
    return samples;
}

void Load(const std::vector<uint8_t>& record, CWaveSound& sound, int64_t size = -1)
{
    LoadSoundRecord(
        record, writer::MakeEntry(kSound, 0, size < 0 ? uint32_t(record.size()) : uint32_t(size)), sound);
}

std::vector<uint8_t> Held(const CWaveSound& sound)
{
    return {sound.GetSamples(), sound.GetSamples() + sound.GetSampleCount()};
}

TEST(SoundRecord, SamplesFollowTheExtraFormatBytesAndOtherTagsEmptyTheSound)
{
    fixture::CRecordingViewer viewer; // outlives the sound, which tells it when it goes away
    CWaveSound sound;
    sound.SetViewer(&viewer);
    Load(MakeSoundRecord(kSound, PCMFormat(1, 22050, 16), Samples(6)), sound);
    EXPECT_EQ(Held(sound), Samples(6)); // from offset 32
    EXPECT_EQ(sound.GetFormat().blockAlign, 2u);
    const std::vector<uint8_t> extra = {0xEE, 0xEE, 0xEE};
    Load(MakeSoundRecord(kSound, PCMFormat(2, 8000, 8), Samples(5, 40), extra), sound);
    EXPECT_EQ(Held(sound), Samples(5, 40)); // from offset 35
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 8000u);
    EXPECT_EQ(viewer.changes, 2);

    WaveFormat adpcm = PCMFormat(1, 8000, 4);
    adpcm.formatTag = 2;
    Load(MakeSoundRecord(kSound, adpcm, Samples(4)), sound);
    EXPECT_EQ(sound.GetSamples(), nullptr);
    EXPECT_EQ(sound.GetSampleCount(), 0u);
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 0u);
    EXPECT_EQ(viewer.changes, 3);
}

TEST(SoundRecord, RefusedRecordsLeaveTheSoundAsItWas)
{
    const auto full = MakeSoundRecord(kSound, PCMFormat(1, 11025, 8), Samples(100), Samples(7));
    auto wrongSize = full, hugeExtra = full, hugeCount = full;
    WriteLE32(&wrongSize[kSoundFormatSizeOffset], 16);
    WriteLE16(&hugeExtra[kSoundFormatOffset + 16], 0xFFFF);     // extra bytes past the end
    WriteLE32(&hugeCount[kSoundSampleCountOffset], 0xFFFFFFF0); // samples past the end
    const struct {
        const char* name;
        std::vector<uint8_t> record;
        int64_t size;
    } cases[] = {
        {"format size 16", wrongSize, -1},
        {"entry one byte short", full, int64_t(full.size()) - 1},
        {"one sample missing", {full.begin(), full.end() - 1}, -1},
        {"header cut short", {full.begin(), full.begin() + 31}, -1},
        {"huge extra size", hugeExtra, -1},
        {"huge sample count", hugeCount, -1},
    };
    for (const auto& c : cases) {
        CWaveSound sound;
        Load(MakeSoundRecord(kSound, PCMFormat(1, 8000, 8), Samples(4)), sound);
        fixture::CRecordingViewer viewer;
        sound.SetViewer(&viewer);
        Load(c.record, sound, c.size);
        EXPECT_EQ(Held(sound), Samples(4)) << c.name;
        EXPECT_EQ(sound.GetFormat().samplesPerSec, 8000u) << c.name;
        EXPECT_EQ(viewer.changes, 0) << c.name;
        sound.SetViewer(nullptr);
    }
}

TEST(WaveFile, LayoutPaddingSizesAndFailures)
{
    const struct {
        size_t samples;
        size_t fileSize;
        uint32_t riffSize;
    } cases[] = {{0, 44, 36}, {3, 48, 40}, {1000, 1044, 1036}};
    fixture::CTempDir dir;
    for (const auto& c : cases) {
        CWaveSound sound;
        ASSERT_TRUE(c.samples == 0 || sound.SetWave(PCMFormat(2, 44100, 16), Samples(c.samples)));
        ASSERT_TRUE(WriteWaveFile(sound, dir.File("s.wav")));
        const std::string bytes = fixture::ReadWholeFile(dir.File("s.wav"));
        const std::span file(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ASSERT_EQ(file.size(), c.fileSize) << c.samples;
        EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
        EXPECT_EQ(ReadLE32(&file[4]), c.riffSize);
        EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(ReadLE32(&file[16]), 16u);
        EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
        EXPECT_EQ(ReadLE32(&file[40]), c.samples);
        // The first 16 bytes of the format, zero for an empty sound.
        EXPECT_EQ(ReadLE32(&file[24]), c.samples ? 44100u : 0u);
        EXPECT_EQ(ReadLE16(&file[32]), c.samples ? 4u : 0u);
        EXPECT_EQ(
            std::vector<uint8_t>(file.begin() + 44, file.begin() + 44 + long(c.samples)), Samples(c.samples));
        if (c.samples % 2) {
            EXPECT_EQ(file.back(), 0);
        }
    }
    // Failures to create or to write the file are reported.
    CWaveSound sound;
    sound.SetWave(PCMFormat(1, 8000, 8), Samples(64));
    EXPECT_FALSE(WriteWaveFile(sound, ""));
    EXPECT_FALSE(WriteWaveFile(sound, dir.File("missing/x.wav")));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WriteWaveFile(sound, "/dev/full"));
    }
}

class WavePlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound.SetOutput(&device, &prompts);
        sound.SetViewer(&viewer);
    }
    // Samples that differ from their neighbours, so that a skipped or repeated buffer shows.
    void Load(size_t bytes, uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 8,
        uint16_t blockAlign = 1)
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
        {3000, 1, 22050, 8, 1}, {2048, 1, 22050, 16, 2},
        {1600, 1, 22050, 8, 0},            // no whole frames: the marker stays at the start
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
        EXPECT_EQ(
            device.heard, std::vector<uint8_t>(samples.begin() + start, samples.begin() + start + 1500));
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
    EXPECT_EQ(prompts.informed, (std::vector<std::string> {"Unable to open sound device for playback!!!"}));
}

} // namespace
} // namespace orvanel
