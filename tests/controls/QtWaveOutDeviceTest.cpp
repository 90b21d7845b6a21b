#include "platform/QtWaveOutDevice.h"
#include "tests/support/RecordBuilders.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

#include <cmath>
#include <gtest/gtest.h>

namespace orvanel {
namespace {

void Record(void* instance, WaveHeader* header)
{
    static_cast<std::vector<WaveHeader*>*>(instance)->push_back(header);
}

// A quarter of a second of a 440 Hz tone, in 1,024-byte buffers.
struct Tone {
    Tone()
    {
        for (int i = 0; i < 22050 / 4; ++i) {
            const auto value = int16_t(8000 * std::sin(2 * M_PI * 440 * i / 22050));
            samples.push_back(uint8_t(value));
            samples.push_back(uint8_t(uint16_t(value) >> 8));
        }
        for (size_t offset = 0; offset < samples.size(); offset += 1024)
            headers.push_back({samples.data() + offset, uint32_t(std::min<size_t>(1024, samples.size() - offset))});
    }
    std::vector<WaveHeader*> Pointers()
    {
        std::vector<WaveHeader*> pointers;
        for (WaveHeader& header : headers)
            pointers.push_back(&header);
        return pointers;
    }
    std::vector<uint8_t> samples;
    std::vector<WaveHeader> headers;
};

TEST(QtWaveOutDevice, FormatsTheSinkCannotLayOutDoNotOpen)
{
    CQtWaveOutDevice device;
    std::vector<WaveHeader*> done;
    WaveFormat misaligned = fixture::PCMFormat(2, 22050, 16);
    misaligned.blockAlign = 2;
    for (const WaveFormat& format : {fixture::PCMFormat(1, 22050, 24), fixture::PCMFormat(0, 22050, 16), misaligned})
        EXPECT_FALSE(device.Open(format, &Record, &done));
}

// Plays through the machine's default output; where there is none, opening fails.
TEST(QtWaveOutDevice, PlaysEveryBufferInOrderAndResetHandsBackTheRest)
{
    CQtWaveOutDevice device;
    std::vector<WaveHeader*> done;
    const WaveFormat format = fixture::PCMFormat(1, 22050, 16);
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        EXPECT_FALSE(device.Open(format, &Record, &done));
        return;
    }
    ASSERT_TRUE(device.Open(format, &Record, &done));
    Tone tone;
    device.Pause();
    for (WaveHeader& header : tone.headers)
        ASSERT_TRUE(device.Write(header));
    QTest::qWait(100);
    EXPECT_TRUE(done.empty()); // nothing plays while paused
    device.Restart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.size() == tone.headers.size(); }, 20000));
    EXPECT_EQ(done, tone.Pointers());

    done.clear();
    device.Pause();
    for (WaveHeader& header : tone.headers)
        device.Write(header);
    device.Reset();
    EXPECT_EQ(done, tone.Pointers());
    device.Close();
}

} // namespace
} // namespace orvanel
