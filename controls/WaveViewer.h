#pragma once
// Shows a sound's waveform with a red marker at the played position. The waveform is
// rendered into a cached bitmap only for a new sound, a new size or a new viewer; every other
// paint copies the bitmap and draws the marker over it.

#include "decode/WaveSound.h"

#include <QPixmap>
#include <QWidget>

namespace orvanel {

class CWaveViewer : public QWidget, public IWaveViewer {
    Q_OBJECT
public:
    explicit CWaveViewer(QWidget* parent = nullptr);
    ~CWaveViewer() override;

    // Links the viewer and the sound both ways (null for none); the sound it showed before
    // loses its viewer. The sound must outlive the link.
    void SetSound(CWaveSound* sound);
    CWaveSound* GetSound() const { return m_sound; }

    void OnWaveDataChanged() override;
    void OnWavePositionChanged(uint32_t frames) override;
    void OnWaveSoundDestroyed() override;

signals:
    // The user clicked the waveform at this sample frame.
    void FrameClicked(uint32_t frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Rebuild();

    CWaveSound* m_sound = nullptr;
    QPixmap m_bitmap;
    bool m_rebuild = true;
    uint32_t m_position = 0; // in sample frames
    QRect m_waveRect;        // where the last rendering put the waveform
};

} // namespace orvanel
