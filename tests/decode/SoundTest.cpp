#include "archive/ByteOrder.h"
#include "decode/SoundRecord.h"
#include "decode/WaveFile.h"
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

class CCountingViewer final : public IWaveViewer {
public:
    void OnWaveDataChanged() override { ++changes; }
    int changes = 0;
};

TEST(SoundRecord, SamplesFollowTheExtraFormatBytes)
{
    CWaveSound sound;
    CCountingViewer viewer;
    sound.SetViewer(&viewer);
    Load(MakeSoundRecord(kSound, PCMFormat(1, 22050, 16), Samples(6)), sound);
    EXPECT_EQ(Held(sound), Samples(6)); // from offset 32
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 22050u);
    EXPECT_EQ(sound.GetFormat().blockAlign, 2u);
    EXPECT_EQ(viewer.changes, 1);

    const std::vector<uint8_t> extra = {0xEE, 0xEE, 0xEE};
    Load(MakeSoundRecord(kSound, PCMFormat(2, 8000, 8), Samples(5, 40), extra), sound);
    EXPECT_EQ(Held(sound), Samples(5, 40)); // from offset 35
    EXPECT_EQ(sound.GetFormat().extraSize, 3u);
    EXPECT_EQ(viewer.changes, 2);
}

TEST(SoundRecord, OtherFormatTagsEmptyTheSound)
{
    CWaveSound sound;
    Load(MakeSoundRecord(kSound, PCMFormat(1, 8000, 8), Samples(4)), sound);
    WaveFormat adpcm = PCMFormat(1, 8000, 4);
    adpcm.formatTag = 2;
    Load(MakeSoundRecord(kSound, adpcm, Samples(4)), sound);
    EXPECT_EQ(sound.GetSamples(), nullptr);
    EXPECT_EQ(sound.GetSampleCount(), 0u);
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 0u);
}

TEST(SoundRecord, RefusedRecordsLeaveTheSoundAsItWas)
{
    CWaveSound sound;
    CCountingViewer viewer;
    Load(MakeSoundRecord(kSound, PCMFormat(1, 8000, 8), Samples(4)), sound);
    sound.SetViewer(&viewer);

    auto wrongSize = MakeSoundRecord(kSound, PCMFormat(1, 11025, 8), Samples(4));
    WriteLE32(&wrongSize[kSoundFormatSizeOffset], 16);
    Load(wrongSize, sound);

    const auto full = MakeSoundRecord(kSound, PCMFormat(1, 11025, 8), Samples(100), Samples(7));
    Load(full, sound, int64_t(full.size()) - 1);                          // the entry says one byte less
    Load({full.begin(), full.end() - 1}, sound);                          // one sample missing
    Load({full.begin(), full.begin() + 31}, sound);                       // header cut short
    auto hugeExtra = full;
    WriteLE16(&hugeExtra[kSoundFormatOffset + 16], 0xFFFF);               // extra bytes past the end
    Load(hugeExtra, sound);
    auto hugeCount = full;
    WriteLE32(&hugeCount[kSoundSampleCountOffset], 0xFFFFFFF0);           // samples past the end
    Load(hugeCount, sound);

    EXPECT_EQ(Held(sound), Samples(4));
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 8000u);
    EXPECT_EQ(viewer.changes, 0);
    Load(full, sound);
    EXPECT_EQ(Held(sound), Samples(100));
}

TEST(WaveFile, EmptySoundIsAHeaderWithZeroFormat)
{
    fixture::CTempDir dir;
    CWaveSound sound;
    ASSERT_TRUE(WriteWaveFile(sound, dir.File("e.wav")));
    const auto file = test::ReadBytes(dir.File("e.wav"));
    ASSERT_EQ(file.size(), 44u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(ReadLE32(&file[4]), 36u);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(ReadLE32(&file[16]), 16u);
    EXPECT_TRUE(std::all_of(file.begin() + 20, file.begin() + 36, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
    EXPECT_EQ(ReadLE32(&file[40]), 0u);
}

TEST(WaveFile, SamplesFollowTheFormatAndOddSizesArePadded)
{
    fixture::CTempDir dir;
    CWaveSound sound;
    ASSERT_TRUE(sound.SetWave(PCMFormat(2, 44100, 16), Samples(3)));
    ASSERT_TRUE(WriteWaveFile(sound, dir.File("odd.wav")));
    auto file = test::ReadBytes(dir.File("odd.wav"));
    ASSERT_EQ(file.size(), 48u);
    EXPECT_EQ(ReadLE32(&file[4]), 40u);
    EXPECT_EQ(ReadLE16(&file[20]), 1u);
    EXPECT_EQ(ReadLE16(&file[22]), 2u);
    EXPECT_EQ(ReadLE32(&file[24]), 44100u);
    EXPECT_EQ(ReadLE32(&file[28]), 176400u);
    EXPECT_EQ(ReadLE16(&file[32]), 4u);
    EXPECT_EQ(ReadLE16(&file[34]), 16u);
    EXPECT_EQ(ReadLE32(&file[40]), 3u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 44, file.end()), (std::vector<uint8_t>{1, 2, 3, 0}));

    ASSERT_TRUE(sound.SetWave(PCMFormat(1, 8000, 8), Samples(1000)));
    ASSERT_TRUE(WriteWaveFile(sound, dir.File("even.wav")));
    file = test::ReadBytes(dir.File("even.wav"));
    ASSERT_EQ(file.size(), 1044u);
    EXPECT_EQ(ReadLE32(&file[4]), 1036u);
    EXPECT_EQ(ReadLE32(&file[40]), 1000u);
    EXPECT_EQ(file[1043], uint8_t(1000));
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
