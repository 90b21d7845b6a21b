// The picture's zoom: the zoom commands, Ctrl+wheel about the pointer, the pixel grid, and
// the picture's context menu.

#include "app/DATFileView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace orvanel {

namespace {

// The picture starts this far below the caption's line height.
constexpr int kPictureGap = 10;

} // namespace

QSize CDATFileView::FitArea() const
{
    const int captionHeight = viewport()->fontMetrics().height();
    return QSize(viewport()->width(), viewport()->height() - captionHeight - kPictureGap);
}

void CDATFileView::Refit()
{
    if (!m_zoom.IsFitting() || !m_colour.IsValid())
        return;
    const QSize area = FitArea();
    m_zoom.Refit(m_colour.GetWidth(), m_colour.GetHeight(), area.width(), area.height());
}

void CDATFileView::ZoomAbout(QPoint pointer, float scale)
{
    if (m_displayMode != ModeImage || !m_colour.IsValid())
        return;
    const float before = m_zoom.Scale();
    const int top = viewport()->fontMetrics().height() + kPictureGap;
    const QPointF content =
        QPointF(pointer) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QPointF picturePoint((content.x()) / before, (content.y() - top) / before);
    if (scale > before)
        m_zoom.ZoomIn();
    else if (scale < before)
        m_zoom.ZoomOut();
    while (scale > m_zoom.Scale() * 1.0001f && m_zoom.Scale() < CImageZoom::kMaxScale)
        m_zoom.ZoomIn();
    while (scale < m_zoom.Scale() * 0.9999f && m_zoom.Scale() > CImageZoom::kMinScale)
        m_zoom.ZoomOut();
    const float after = m_zoom.Scale();
    UpdateScrollRange();
    horizontalScrollBar()->setValue(int(std::lround(picturePoint.x() * after - pointer.x())));
    verticalScrollBar()->setValue(int(std::lround(picturePoint.y() * after + top - pointer.y())));
    viewport()->update();
}

void CDATFileView::ZoomIn()
{
    ZoomAbout(viewport()->rect().center(), CImageZoom::StepIn(m_zoom.Scale()));
}

void CDATFileView::ZoomOut()
{
    ZoomAbout(viewport()->rect().center(), CImageZoom::StepOut(m_zoom.Scale()));
}

void CDATFileView::ActualSize()
{
    m_zoom.ActualSize();
    UpdateScrollRange();
    viewport()->update();
}

void CDATFileView::FitToPane()
{
    const QSize area = FitArea();
    m_zoom.FitToArea(m_colour.GetWidth(), m_colour.GetHeight(), area.width(), area.height());
    UpdateScrollRange();
    viewport()->update();
}

void CDATFileView::SetPixelGrid(bool shown)
{
    m_pixelGrid = shown;
    viewport()->update();
}

void CDATFileView::DrawPixelGrid(QPainter& painter, const QRect& imageRect, const QRect& visible) const
{
    const double scale = m_zoom.Scale();
    if (!m_pixelGrid || scale < CImageZoom::kGridScale)
        return;
    // Only the lines crossing the visible part: a pixel's edge lies where the nearest-neighbour
    // drawing starts the next source pixel.
    painter.save();
    painter.setPen(QColor(128, 128, 128, 160));
    const int firstColumn = int((visible.left() - imageRect.left()) / scale);
    const int lastColumn = int((visible.right() - imageRect.left()) / scale) + 1;
    for (int column = std::max(1, firstColumn); column <= lastColumn && column < int(m_colour.GetWidth());
         ++column) {
        const int x = imageRect.left() + int(std::ceil(column * scale));
        painter.drawLine(x, visible.top(), x, visible.bottom());
    }
    const int firstRow = int((visible.top() - imageRect.top()) / scale);
    const int lastRow = int((visible.bottom() - imageRect.top()) / scale) + 1;
    for (int row = std::max(1, firstRow); row <= lastRow && row < int(m_colour.GetHeight()); ++row) {
        const int y = imageRect.top() + int(std::ceil(row * scale));
        painter.drawLine(visible.left(), y, visible.right(), y);
    }
    painter.restore();
}

void CDATFileView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || m_displayMode != ModeImage) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // Fine-stepping wheels send small deltas: one zoom step per whole notch.
    m_wheelDelta += event->angleDelta().y();
    while (std::abs(m_wheelDelta) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool in = m_wheelDelta > 0;
        m_wheelDelta += in ? -QWheelEvent::DefaultDeltasPerStep : QWheelEvent::DefaultDeltasPerStep;
        const float scale = m_zoom.Scale();
        ZoomAbout(event->position().toPoint(), in ? CImageZoom::StepIn(scale) : CImageZoom::StepOut(scale));
    }
}

QImage CDATFileView::GetShownImage() const
{
    if (m_displayMode != ModeImage || !m_colour.IsValid())
        return {};
    const CDibImage& shown = m_greyscale && m_grey.IsValid() ? m_grey : m_colour;
    QImage image(int(shown.GetWidth()), int(shown.GetHeight()), QImage::Format_RGB32);
    DibDrawTarget target;
    target.pixels = reinterpret_cast<uint32_t*>(image.bits());
    target.stride = size_t(image.bytesPerLine()) / 4;
    target.clipBox = {0, 0, image.width(), image.height()};
    shown.Draw(&target, 0, 0, image.width(), image.height());
    return image;
}

void CDATFileView::CopyImage() const
{
    const QImage image = GetShownImage();
    if (!image.isNull())
        QApplication::clipboard()->setImage(image);
}

void CDATFileView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_displayMode != ModeImage || !m_colour.IsValid())
        return QAbstractScrollArea::contextMenuEvent(event);
    QMenu menu(this);
    menu.addAction(tr("&Copy Image"), this, &CDATFileView::CopyImage);
    if (!m_contextActions.isEmpty()) {
        menu.addSeparator();
        menu.addActions(m_contextActions);
    }
    menu.exec(event->globalPos());
}

} // namespace orvanel
