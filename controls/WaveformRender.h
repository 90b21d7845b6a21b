#pragma once
// Draws a sound's waveform: a black field in a sunken frame, the format label in a strip at
// the bottom, one green bar per pixel column through a yellow centre line.

#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;
class QPalette;

namespace orvanel {

class CWaveSound;

// The largest sample value among the frames that fall in each of the columns, compared as
// signed numbers and never below 0: 8-bit samples count 0 to 255, 16-bit samples -32,768 to
// 32,767, of the first two channels only. Other sample sizes give zeros.
std::vector<int32_t> WaveformPeaks(const CWaveSound& sound, int columns);

// The label drawn under the waveform.
QString WaveformLabel(const CWaveSound& sound);

// Renders the sound into the client rectangle and returns the area the waveform took, where
// the position marker goes; empty when there is no room for it.
QRect RenderWaveform(
    QPainter& painter, const QRect& client, const CWaveSound& sound, const QPalette& palette);

} // namespace orvanel
