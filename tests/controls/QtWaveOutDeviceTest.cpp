#include "decode/WaveSound.h"
#include "platform/QtWaveOutDevice.h"
#include "writer/RecordBuilders.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <thread>

namespace orvanel {
namespace {

void Ignore(void*, WaveHeader*) {}

TEST(QtWaveOutDevice, FormatsTheSinkCannotLayOutDoNotOpen)
{
    CQtWaveOutDevice device;
    WaveFormat misaligned = writer::PCMFormat(2, 22050, 16);
    misaligned.blockAlign = 2;
    const WaveFormat noChannels = writer::PCMFormat(0, 22050, 16);
    for (const WaveFormat& format : {writer::PCMFormat(1, 22050, 24), noChannels, misaligned})
        EXPECT_FALSE(device.Open(format, &Ignore, nullptr));
}

constexpr int kRate = 44100;

// Stretches of the recording that are not silent, as first and last frame; pauses shorter
// than 50 ms belong to the stretch.
std::vector<std::pair<size_t, size_t>> HeardStretches(const std::vector<int16_t>& left)
{
    std::vector<std::pair<size_t, size_t>> stretches;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) <= 64)
            continue;
        if (!stretches.empty() && i - stretches.back().second < size_t(kRate / 20))
            stretches.back().second = i;
        else
            stretches.emplace_back(i, i);
    }
    return stretches;
}

// Where in the sound the heard samples begin: the offset whose next 256 frames match them best.
size_t OffsetInSound(const std::vector<int16_t>& sound, const int16_t* heard)
{
    constexpr size_t kWindow = 256;
    size_t best = 0;
    double bestScore = -1;
    for (size_t offset = 0; offset + kWindow <= sound.size() / 2; ++offset) {
        double dot = 0, energy = 1;
        for (size_t i = 0; i < kWindow; ++i) {
            dot += double(sound[offset + i]) * heard[i];
            energy += double(sound[offset + i]) * sound[offset + i];
        }
        if (dot / std::sqrt(energy) > bestScore) {
            bestScore = dot / std::sqrt(energy);
            best = offset;
        }
    }
    return best;
}

// Plays a second of noise through the default output to its end and then again, recording the
// output's monitor: each play must be heard from within 30 ms of its start and for its length,
// however busy the program is in between.
// Runs wherever a PulseAudio server (or PipeWire's) answers.
TEST(QtWaveOutDevice, ReplayedSoundIsHeardWholeFromItsStart)
{
    QProcess server;
    server.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    if (!server.waitForFinished(5000) || server.exitStatus() != QProcess::NormalExit || server.exitCode() != 0)
        GTEST_SKIP() << "no PulseAudio server to play through";

    std::vector<int16_t> left(kRate);
    uint32_t seed = 12345;
    for (int16_t& value : left) {
        seed = seed * 1664525 + 1013904223;
        value = int16_t(int(seed >> 16) % 24000 - 12000);
    }
    std::vector<uint8_t> samples;
    for (const int16_t value : left)
        for (int channel = 0; channel < 2; ++channel) {
            samples.push_back(uint8_t(value));
            samples.push_back(uint8_t(uint16_t(value) >> 8));
        }
    CQtWaveOutDevice device;
    CWaveSound sound;
    sound.SetOutput(&device, nullptr);
    ASSERT_TRUE(sound.SetWave(writer::PCMFormat(2, kRate, 16), samples));

    QProcess recorder;
    recorder.start(QStringLiteral("parec"), {QStringLiteral("--latency-msec=10"), QStringLiteral("-d"),
        QStringLiteral("@DEFAULT_MONITOR@"), QStringLiteral("--format=s16le"), QStringLiteral("--channels=2"),
        QStringLiteral("--rate=44100"), QStringLiteral("--raw")});
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
    std::vector<int16_t> heard(size_t(recorded.size()) / 4);
    for (size_t i = 0; i < heard.size(); ++i)
        heard[i] = int16_t(uint8_t(recorded[int(4 * i)]) | uint8_t(recorded[int(4 * i + 1)]) << 8);
    const auto stretches = HeardStretches(heard);
    ASSERT_GE(stretches.size(), 2u);
    for (size_t play = stretches.size() - 2; play < stretches.size(); ++play) {
        const auto [first, last] = stretches[play];
        ASSERT_LT(first + 256, heard.size());
        EXPECT_LE(OffsetInSound(left, &heard[first]), size_t(kRate * 30 / 1000)) << "stretch " << play;
        EXPECT_NEAR(double(last + 1 - first) / kRate, 1.0, 0.05) << "stretch " << play;
    }
}

} // namespace
} // namespace orvanel
