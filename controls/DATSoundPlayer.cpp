#include "controls/DATSoundPlayer.h"

#include "archive/Platform.h"
#include "decode/WaveSound.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

namespace orvanel {

namespace {

// The pane's layout in dialog units: 16 x 14 buttons at y = 7 and x = 7, 30 and 52, in a
// pane of 212 x 122.
constexpr int kButtonTop = 7;
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 14;
constexpr int kPaneWidth = 212;
constexpr int kPaneHeight = 122;

} // namespace

CDATSoundPlayer::CDATSoundPlayer(CWaveSound& sound, IBusyIndicator& busy, QWidget* parent)
    : QWidget(parent), m_sound(sound), m_busy(busy)
{
    setFocusPolicy(Qt::StrongFocus);
    m_viewer = new CWaveViewer(this);
    m_viewer->setObjectName(QStringLiteral("WaveViewer"));
    m_viewer->setGeometry(0, 0, 10, 10);
    m_play = MakeButton(QStyle::SP_MediaPlay, QStringLiteral("Play"), 7);
    m_pause = MakeButton(QStyle::SP_MediaPause, QStringLiteral("Pause"), 30);
    m_stop = MakeButton(QStyle::SP_MediaStop, QStringLiteral("Stop"), 52);
    connect(m_play, &QPushButton::clicked, this, &CDATSoundPlayer::Play);
    connect(m_pause, &QPushButton::clicked, this, &CDATSoundPlayer::Pause);
    connect(m_stop, &QPushButton::clicked, this, &CDATSoundPlayer::Stop);
    connect(m_viewer, &CWaveViewer::FrameClicked, this, &CDATSoundPlayer::PlayFrom);
    // Space pauses wherever the focus is in the pane, a button included.
    for (QWidget* child : {static_cast<QWidget*>(m_viewer), static_cast<QWidget*>(m_play),
             static_cast<QWidget*>(m_pause), static_cast<QWidget*>(m_stop)})
        child->installEventFilter(this);
    installEventFilter(this);

    const QRect play = m_play->geometry();
    const int bottom = play.top() + play.height();
    m_viewerRect = QRect(QPoint(play.left(), play.top() + bottom), QSize(0, 0));
    m_margin = play.top();
    m_viewer->SetSound(&m_sound);
}

QPushButton* CDATSoundPlayer::MakeButton(QStyle::StandardPixmap icon, const QString& tip, int x)
{
    auto* button = new QPushButton(this);
    button->setIcon(style()->standardIcon(icon, nullptr, this));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::StrongFocus);
    const QPoint size = FromDialogUnits(kButtonWidth, kButtonHeight);
    button->setGeometry(QRect(FromDialogUnits(x, kButtonTop), QSize(size.x(), size.y())));
    return button;
}

QPoint CDATSoundPlayer::FromDialogUnits(int x, int y) const
{
    const QFontMetrics metrics(font());
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = std::max(1, (letters / 26 + 1) / 2); // the average letter, rounded
    const int baseY = std::max(1, metrics.height());
    return {x * baseX / 4, y * baseY / 8};
}

QSize CDATSoundPlayer::sizeHint() const
{
    const QPoint size = FromDialogUnits(kPaneWidth, kPaneHeight);
    return {size.x(), size.y()};
}

void CDATSoundPlayer::Play()
{
    CBusyScope busy(m_busy);
    m_sound.Play();
}

void CDATSoundPlayer::PlayFrom(uint32_t frame)
{
    CBusyScope busy(m_busy);
    m_sound.PlayFrom(frame);
}

void CDATSoundPlayer::Pause()
{
    CBusyScope busy(m_busy);
    m_sound.TogglePause();
}

void CDATSoundPlayer::Stop()
{
    CBusyScope busy(m_busy);
    m_sound.Stop();
}

void CDATSoundPlayer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int left = m_viewerRect.left();
    const int top = m_viewerRect.top();
    const int right = std::max(width() - left, left);
    const int bottom = std::max(height() - m_margin, top);
    m_viewer->setGeometry(left, top, right - left, bottom - top);
}

bool CDATSoundPlayer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            // The release is swallowed too, so that a focused button does not click.
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                Pause();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orvanel
