#include "archive/ByteOrder.h"
#include "decode/SoundRecord.h"
#include "decode/WaveFile.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/decode/DecodeTestSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"
#include "tests/support/TempDir.h"

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
    LoadSoundRecord(record, writer::MakeEntry(kSound, 0, size < 0 ? uint32_t(record.size()) : uint32_t(size)), sound);
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
    WriteLE16(&hugeExtra[kSoundFormatOffset + 16], 0xFFFF);          // extra bytes past the end
    WriteLE32(&hugeCount[kSoundSampleCountOffset], 0xFFFFFFF0);      // samples past the end
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

TEST(WaveFile, LayoutPaddingAndSizes)
{
    const struct {
        size_t samples;
        size_t fileSize;
        uint32_t riffSize;
    } cases[] = {{0, 44, 36}, {3, 48, 40}, {1000, 1044, 1036}};
    fixture::CTempDir dir;
    for (const auto& c : cases) {
        CWaveSound sound;
        if (c.samples > 0) {
            ASSERT_TRUE(sound.SetWave(PCMFormat(2, 44100, 16), Samples(c.samples)));
        }
        ASSERT_TRUE(WriteWaveFile(sound, dir.File("s.wav")));
        const auto file = test::ReadBytes(dir.File("s.wav"));
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
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 44, file.begin() + 44 + long(c.samples)), Samples(c.samples));
        if (c.samples % 2) {
            EXPECT_EQ(file.back(), 0);
        }
    }
}

TEST(WaveFile, FailedCreationOrWritesAreReported)
{
    fixture::CTempDir dir;
    CWaveSound sound;
    sound.SetWave(PCMFormat(1, 8000, 8), Samples(64));
    EXPECT_FALSE(WriteWaveFile(sound, ""));
    EXPECT_FALSE(WriteWaveFile(sound, dir.File("missing/x.wav")));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WriteWaveFile(sound, "/dev/full"));
    }
}

} // namespace
} // namespace orvanel
