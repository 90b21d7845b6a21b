#include "platform/QtWaveOutDevice.h"
#include "writer/RecordBuilders.h"

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

TEST(QtWaveOutDevice, FormatsTheSinkCannotLayOutDoNotOpen)
{
    CQtWaveOutDevice device;
    std::vector<WaveHeader*> done;
    WaveFormat misaligned = writer::PCMFormat(2, 22050, 16);
    misaligned.blockAlign = 2;
    const WaveFormat noChannels = writer::PCMFormat(0, 22050, 16);
    for (const WaveFormat& format : {writer::PCMFormat(1, 22050, 24), noChannels, misaligned})
        EXPECT_FALSE(device.Open(format, &Record, &done));
}

// Plays a quarter of a second of a tone through the machine's default output; where there is
// none, opening fails.
TEST(QtWaveOutDevice, PlaysEveryBufferInOrderAndResetHandsBackTheRest)
{
    CQtWaveOutDevice device;
    std::vector<WaveHeader*> done;
    const WaveFormat format = writer::PCMFormat(1, 22050, 16);
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        EXPECT_FALSE(device.Open(format, &Record, &done));
        return;
    }
    ASSERT_TRUE(device.Open(format, &Record, &done));
    std::vector<int16_t> tone(22050 / 4);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = int16_t(8000 * std::sin(2 * M_PI * 440 * double(i) / 22050));
    const auto* bytes = reinterpret_cast<const uint8_t*>(tone.data());
    std::vector<WaveHeader> headers;
    for (size_t offset = 0; offset < tone.size() * 2; offset += 1024)
        headers.push_back({bytes + offset, uint32_t(std::min<size_t>(1024, tone.size() * 2 - offset))});
    std::vector<WaveHeader*> all;
    for (WaveHeader& header : headers)
        all.push_back(&header);

    device.Pause();
    for (WaveHeader* header : all)
        ASSERT_TRUE(device.Write(*header));
    QTest::qWait(100);
    EXPECT_TRUE(done.empty()); // nothing plays while paused
    device.Restart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.size() == all.size(); }, 20000));
    EXPECT_EQ(done, all);

    done.clear();
    device.Pause();
    for (WaveHeader* header : all)
        device.Write(*header);
    device.Reset();
    EXPECT_EQ(done, all);
    device.Close();
}

} // namespace
} // namespace orvanel
