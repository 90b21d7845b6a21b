#include "controls/WaveformRender.h"

#include "content/Captions.h"
#include "decode/WaveSound.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace orvanel {

namespace {

// A one-pixel frame just inside the rectangle, lit from the bottom right.
void DrawFrame(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
}

// The value of one sample of a frame; 0 where the frame holds no such sample.
int32_t SampleValue(const uint8_t* samples, uint64_t count, uint64_t offset, uint16_t bits)
{
    if (bits == 8)
        return offset < count ? int32_t(samples[offset]) : 0;
    if (offset + 2 > count)
        return 0;
    return int16_t(uint16_t(samples[offset] | (samples[offset + 1] << 8)));
}

} // namespace

std::vector<int32_t> WaveformPeaks(const CWaveSound& sound, int columns)
{
    std::vector<int32_t> peaks(size_t(std::max(columns, 0)), 0);
    const WaveFormat& format = sound.GetFormat();
    const uint64_t frames = sound.GetFrameCount();
    const bool readable = (format.bitsPerSample == 8 || format.bitsPerSample == 16)
        && (format.channels == 1 || format.channels == 2);
    if (peaks.empty() || frames == 0 || !readable)
        return peaks;
    const uint8_t* samples = sound.GetSamples();
    const uint64_t count = sound.GetSampleCount();
    const uint16_t bits = format.bitsPerSample;
    const uint64_t sampleBytes = bits / 8;
    for (uint64_t i = 0; i < frames; ++i) {
        // A block alignment smaller than the samples it claims to hold must not read past
        // the end of the buffer.
        const uint64_t offset = i * format.blockAlign;
        int32_t value = SampleValue(samples, count, offset, bits);
        if (format.channels == 2)
            value = std::max(value, SampleValue(samples, count, offset + sampleBytes, bits));
        int32_t& peak = peaks[size_t(peaks.size() * i / frames)];
        peak = std::max(peak, value);
    }
    return peaks;
}

QString WaveformLabel(const CWaveSound& sound)
{
    const WaveFormat& format = sound.GetFormat();
    return QString::fromStdString(SoundLabel(format.samplesPerSec, format.bitsPerSample, format.channels,
        format.blockAlign, sound.GetSampleCount()));
}

QRect RenderWaveform(QPainter& painter, const QRect& client, const CWaveSound& sound, const QPalette& palette)
{
    painter.fillRect(client, Qt::black);
    if (client.isEmpty())
        return {};
    DrawFrame(painter, client, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    QRect inner = client.adjusted(1, 1, -1, -1);
    if (inner.isEmpty())
        return {};

    const QColor darkShadow = palette.color(QPalette::Shadow);
    const QColor light = palette.color(QPalette::Midlight);
    const QString label = WaveformLabel(sound);
    const int labelHeight = QFontMetrics(painter.font()).height() + 4;
    QRect wave = inner;
    if (inner.height() > labelHeight) {
        const QRect box(inner.left(), inner.bottom() + 1 - labelHeight, inner.width(), labelHeight);
        DrawFrame(painter, box, darkShadow, light);
        painter.setPen(Qt::white);
        painter.drawText(box.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, label);
        wave.setBottom(box.top() - 1);
    }
    if (wave.isEmpty())
        return {};
    DrawFrame(painter, wave, darkShadow, light);
    wave.adjust(1, 1, -1, -1);
    if (wave.isEmpty())
        return {};

    const int top = wave.top();
    const int bottom = wave.top() + wave.height(); // one past the last row
    const int centre = top + wave.height() / 2 + (wave.height() % 2);
    const std::vector<int32_t> peaks = WaveformPeaks(sound, wave.width());
    const auto [lowest, highest] = std::minmax_element(peaks.begin(), peaks.end());
    const int64_t low = *lowest;
    int64_t range = *highest - low;
    if (range < 2)
        range = 1;
    for (size_t x = 0; x < peaks.size(); ++x) {
        const int up = int((peaks[x] - low) * (centre - top) / range);
        const int down = int((peaks[x] - low) * (bottom - centre) / range);
        if (up + down > 0)
            painter.fillRect(wave.left() + int(x), centre - up, 1, up + down, QColor(0, 255, 0));
    }
    painter.fillRect(wave.left(), centre, wave.width(), 1, QColor(255, 255, 0));
    return wave;
}

} // namespace orvanel
