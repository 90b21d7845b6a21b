// Written WAV files read back by libsndfile, a reader these tests did not write.

#include "decode/WaveFile.h"
#include "writer/RecordBuilders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

namespace orvanel {
namespace {

TEST(WaveReader, LibsndfileReadsTheSamplesBack)
{
    // 16-bit stereo: 5 frames, 20 bytes.
    const int16_t frames[5][2] = {{0, 1000}, {-1000, 32767}, {-32768, 5}, {7, -7}, {12345, -12345}};
    const auto* bytes = reinterpret_cast<const uint8_t*>(frames);
    CWaveSound sound;
    ASSERT_TRUE(sound.SetWave(writer::PCMFormat(2, 22050, 16), {bytes, sizeof frames}));
    fixture::CTempDir dir;
    const std::string path = dir.File("s.wav");
    ASSERT_TRUE(WriteWaveFile(sound, path));

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_EQ(info.frames, 5);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    int16_t read[5][2] = {};
    EXPECT_EQ(sf_readf_short(file, &read[0][0], 5), 5);
    sf_close(file);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(read[i][0], frames[i][0]);
        EXPECT_EQ(read[i][1], frames[i][1]);
    }
}

} // namespace
} // namespace orvanel
