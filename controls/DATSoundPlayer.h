#pragma once
// The sound player pane: play, pause and stop buttons above the waveform of the sound. The
// buttons and the space bar drive the sound's playback; clicking the waveform plays from
// there. The viewer keeps the buttons' distance from the top below them, and their distance
// from the left on the left, on the right and at the bottom.

#include "controls/WaveViewer.h"

#include <QStyle>
#include <QWidget>

class QPushButton;

namespace orvanel {

class CWaveSound;
class IBusyIndicator;

class CDATSoundPlayer : public QWidget {
    Q_OBJECT
public:
    // The sound and the busy indicator must outlive the player.
    CDATSoundPlayer(CWaveSound& sound, IBusyIndicator& busy, QWidget* parent = nullptr);

    // The commands of the three buttons.
    void Play();
    void Pause();
    void Stop();

    CWaveViewer& Viewer() { return *m_viewer; }
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlayFrom(uint32_t frame);
    QPushButton* MakeButton(QStyle::StandardPixmap icon, const QString& tip, int x);
    // Dialog units to pixels, by the widget's font as the dialog font.
    QPoint FromDialogUnits(int x, int y) const;

    CWaveSound& m_sound;
    IBusyIndicator& m_busy;
    QPushButton* m_play;
    QPushButton* m_pause;
    QPushButton* m_stop;
    QRect m_viewerRect; // its left and top; the rest follow the size
    int m_margin = 0;   // the buttons' distance from the top
    CWaveViewer* m_viewer;
};

} // namespace orvanel
