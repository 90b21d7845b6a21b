#include "platform/QtWaveOutDevice.h"
#include "decode/WaveSound.h"
#include "writer/RecordBuilders.h"

#include <QProcess>
#include <QTest>

#include <cstring>

#include <gtest/gtest.h>
#include <thread>

namespace orvanel {
namespace {

constexpr int kRate = 44100;

// Stretches of a stereo recording that are not silent, as the index of their first and last
// left sample; pauses shorter than 50 ms belong to the stretch.
std::vector<std::pair<size_t, size_t>> HeardStretches(const std::vector<int16_t>& stereo)
{
    std::vector<std::pair<size_t, size_t>> stretches;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        if (std::abs(stereo[i]) <= 64)
            continue;
        if (!stretches.empty() && i - stretches.back().second < size_t(kRate / 10))
            stretches.back().second = i;
        else
            stretches.emplace_back(i, i);
    }
    return stretches;
}

// Where in the first half of a sound of noise the heard frames begin: the frame whose next 256
// match them best. Both are stereo.
size_t OffsetInSound(const std::vector<int16_t>& sound, const int16_t* heard)
{
    std::vector<double> scores(sound.size() / 4);
    for (size_t frame = 0; frame < scores.size(); ++frame)
        for (size_t i = 0; i < 512; i += 2)
            scores[frame] += double(sound[2 * frame + i]) * heard[i];
    return size_t(std::max_element(scores.begin(), scores.end()) - scores.begin());
}

// Plays a second of noise through the default output to its end and then again, recording the
// output's monitor: each play must be heard from within 30 ms of its start and for its length,
// however busy the program is in between; and formats the sink cannot play do not open. Runs
// wherever a PulseAudio server answers.
TEST(QtWaveOutDevice, ReplayedSoundIsHeardWholeFromItsStart)
{
    QProcess server;
    server.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    if (!server.waitForFinished(5000) || server.exitStatus() != QProcess::NormalExit
        || server.exitCode() != 0)
        GTEST_SKIP() << "no PulseAudio server to play through";

    // Noise, the same in both channels: any stretch of it tells where in the sound it lies.
    std::vector<int16_t> frames(2 * kRate);
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames.size(); i += 2) {
        seed = seed * 1664525 + 1013904223;
        frames[i] = frames[i + 1] = int16_t(int(seed >> 16) % 24000 - 12000);
    }
    CQtWaveOutDevice device;
    // Formats whose frames the sink would lay out otherwise do not open.
    WaveFormat misaligned = writer::PCMFormat(2, kRate, 16);
    misaligned.blockAlign = 2;
    for (const WaveFormat& format :
        {writer::PCMFormat(1, kRate, 24), writer::PCMFormat(0, kRate, 16), misaligned})
        EXPECT_FALSE(device.Open(
            format, [](void*, WaveHeader*) {}, nullptr));
    CWaveSound sound;
    sound.SetOutput(&device, nullptr);
    // Little-endian, as the sink takes them.
    ASSERT_TRUE(sound.SetWave(writer::PCMFormat(2, kRate, 16),
        {reinterpret_cast<const uint8_t*>(frames.data()), frames.size() * 2}));

    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
        QStringLiteral(
            "--latency-msec=10 -d @DEFAULT_MONITOR@ --format=s16le --channels=2 --rate=44100 --raw")
            .split(' '));
    ASSERT_TRUE(recorder.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.bytesAvailable() > 0; }, 5000));
    for (int play = 0; play < 2; ++play) {
        sound.Play();
        ASSERT_TRUE(sound.IsOpen()) << "the default output did not open";
        // Busy moments of the program, at the start and on the way, must not cost a sample.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        QTest::qWait(300);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !sound.IsOpen(); }, 20000));
        QTest::qWait(300);
    }
    recorder.terminate();
    recorder.waitForFinished(5000);

    const QByteArray recorded = recorder.readAllStandardOutput();
    std::vector<int16_t> heard(size_t(recorded.size()) / 2);
    std::memcpy(heard.data(), recorded.data(), heard.size() * 2);
    const auto stretches = HeardStretches(heard);
    ASSERT_GE(stretches.size(), 2u);
    for (size_t play = stretches.size() - 2; play < stretches.size(); ++play) {
        const auto [first, last] = stretches[play];
        ASSERT_LT(first + 512, heard.size());
        EXPECT_LE(OffsetInSound(frames, &heard[first]), size_t(kRate * 30 / 1000)) << "stretch " << play;
        EXPECT_NEAR(double(last - first) / 2 / kRate, 1.0, 0.05) << "stretch " << play;
    }
}

} // namespace
} // namespace orvanel
