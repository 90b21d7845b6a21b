#include "controls/WaveViewer.h"

#include "controls/WaveformRender.h"

#include <QMouseEvent>
#include <QPainter>

namespace orvanel {

CWaveViewer::CWaveViewer(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

CWaveViewer::~CWaveViewer()
{
    SetSound(nullptr);
}

void CWaveViewer::SetSound(CWaveSound* sound)
{
    if (m_sound && m_sound->GetViewer() == this)
        m_sound->SetViewer(nullptr);
    m_sound = sound;
    if (m_sound)
        m_sound->SetViewer(this);
    m_position = m_sound ? m_sound->GetPosition() : 0;
    OnWaveDataChanged();
}

void CWaveViewer::OnWaveDataChanged()
{
    m_rebuild = true;
    update();
}

void CWaveViewer::OnWavePositionChanged(uint32_t frames)
{
    m_position = frames;
    update();
}

void CWaveViewer::OnWaveSoundDestroyed()
{
    m_sound = nullptr;
    OnWaveDataChanged();
}

void CWaveViewer::Rebuild()
{
    const qreal ratio = devicePixelRatioF();
    m_bitmap = QPixmap(size() * ratio);
    m_bitmap.setDevicePixelRatio(ratio);
    m_bitmap.fill(Qt::black);
    m_waveRect = QRect();
    if (m_sound && !m_bitmap.isNull()) {
        QPainter painter(&m_bitmap);
        painter.setFont(font());
        m_waveRect = RenderWaveform(painter, rect(), *m_sound, palette());
        // The label is only pixels; this lets assistive tools read it.
        setAccessibleName(WaveformLabel(*m_sound));
    }
    m_rebuild = false;
}

void CWaveViewer::paintEvent(QPaintEvent*)
{
    if (m_rebuild)
        Rebuild();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bitmap);

    // A sound without whole frames has no place for the marker.
    const uint64_t frames = m_sound ? m_sound->GetFrameCount() : 0;
    if (m_waveRect.isEmpty() || frames == 0)
        return;
    const uint64_t offset = std::min<uint64_t>(
        uint64_t(m_waveRect.width()) * m_position / frames, uint64_t(m_waveRect.width() - 1));
    painter.fillRect(
        m_waveRect.left() + int(offset), m_waveRect.top(), 1, m_waveRect.height(), QColor(255, 0, 0));
}

void CWaveViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_rebuild = true;
}

void CWaveViewer::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    // The waveform's place is known once it has been rendered at the current size.
    if (m_rebuild)
        Rebuild();
    const uint64_t frames = m_sound ? m_sound->GetFrameCount() : 0;
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || frames == 0 || !m_waveRect.contains(at))
        return;
    emit FrameClicked(uint32_t(uint64_t(at.x() - m_waveRect.left()) * frames / uint64_t(m_waveRect.width())));
}

} // namespace orvanel
