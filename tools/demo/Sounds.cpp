// The sample archive's sounds: tones, chimes and sweeps in 8 and 16 bits, mono and stereo,
// at 11,025 to 44,100 samples per second, from a short blip to a five-second sweep.

#include "tools/demo/DemoFiles.h"

#include "archive/ByteOrder.h"
#include "writer/RecordBuilders.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace orvanel::demo {

using writer::FileSpec;

namespace {

// Fills frames of channels with signal(channel, time in seconds), values from -1 to 1, as
// unsigned 8-bit or signed 16-bit little-endian samples.
std::vector<uint8_t> Synthesise(uint32_t rate, uint16_t bits, uint16_t channels, double seconds,
    const std::function<double(int channel, double t)>& signal)
{
    const auto frames = uint32_t(rate * seconds);
    std::vector<uint8_t> samples(size_t(frames) * channels * bits / 8);
    size_t at = 0;
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double v = std::clamp(signal(c, double(i) / rate), -1.0, 1.0);
            if (bits == 8) {
                samples[at++] = uint8_t(std::lround(128 + 127 * v));
            } else {
                WriteLE16(&samples[at], uint16_t(int16_t(std::lround(32000 * v))));
                at += 2;
            }
        }
    return samples;
}

FileSpec Sound(uint32_t id, uint32_t rate, uint16_t bits, uint16_t channels, double seconds,
    const std::function<double(int channel, double t)>& signal)
{
    return {id,
        writer::MakeSoundRecord(
            id, writer::PCMFormat(channels, rate, bits), Synthesise(rate, bits, channels, seconds, signal))};
}

// Rises and falls over the first and last few milliseconds so that the sound does not click.
double Envelope(double t, double seconds)
{
    const double edge = 0.01;
    return std::min({1.0, t / edge, (seconds - t) / edge});
}

// The phase of a sweep whose frequency moves exponentially from f0 to f1 over the duration.
double SweepPhase(double f0, double f1, double seconds, double t)
{
    const double k = std::log(f1 / f0) / seconds;
    return 2 * std::numbers::pi * f0 * (std::exp(k * t) - 1) / k;
}

} // namespace

std::vector<FileSpec> DemoSounds()
{
    const double pi2 = 2 * std::numbers::pi;
    std::vector<FileSpec> files;
    files.push_back(Sound(0x0A000001, 11025, 8, 1, 0.25, [&](int, double t) {
        return 0.8 * std::sin(pi2 * 880 * t) * std::exp(-t * 12) * Envelope(t, 0.25);
    }));
    // Left rises while right falls.
    files.push_back(Sound(0x0A000002, 22050, 8, 2, 1.5, [&](int c, double t) {
        const double phase = c == 0 ? SweepPhase(200, 2000, 1.5, t) : SweepPhase(2000, 200, 1.5, t);
        return 0.7 * std::sin(phase) * Envelope(t, 1.5);
    }));
    files.push_back(Sound(0x0A000003, 44100, 16, 1, 1.0, [&](int, double t) {
        const double tone =
            std::sin(pi2 * 440 * t) + 0.3 * std::sin(pi2 * 880 * t) + 0.15 * std::sin(pi2 * 1320 * t);
        return 0.6 * tone * (1.0 - t) * Envelope(t, 1.0);
    }));
    // Five seconds from 100 Hz to 4 kHz, panning from left to right.
    files.push_back(Sound(0x0A000004, 44100, 16, 2, 5.0, [&](int c, double t) {
        const double pan = t / 5.0;
        const double gain = c == 0 ? 1.0 - pan : pan;
        return 0.8 * gain * std::sin(SweepPhase(100, 4000, 5.0, t)) * Envelope(t, 5.0);
    }));
    // A chime: C, E and G struck one after another, each dying away.
    files.push_back(Sound(0x0A000005, 22050, 16, 1, 2.5, [&](int, double t) {
        double v = 0;
        const double notes[] = {523.25, 659.25, 783.99};
        for (int n = 0; n < 3; ++n) {
            const double start = n * 0.4;
            if (t >= start)
                v += 0.3 * std::sin(pi2 * notes[n] * (t - start)) * std::exp(-(t - start) * 2.5);
        }
        return v * Envelope(t, 2.5);
    }));
    // Two beeps of different pitch, one in each ear.
    files.push_back(Sound(0x0A000006, 11025, 16, 2, 0.6, [&](int c, double t) {
        const bool first = t < 0.3;
        if ((c == 0) != first)
            return 0.0;
        return 0.7 * std::sin(pi2 * (first ? 600 : 900) * t) * Envelope(first ? t : t - 0.3, 0.3);
    }));
    return files;
}

} // namespace orvanel::demo
