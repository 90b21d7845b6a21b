// Scrolling of the hex editor: by whole rows vertically and by pixels horizontally, from
// the scroll bars, the wheel and the caret's movements.

#include "controls/HexEditBase.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace orvanel {

namespace {

// How far a line or page action of a scroll bar moves; 0 for the actions that do nothing
// (thumb tracking is handled apart).
int64_t ActionStep(int action, int64_t line, int64_t page)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return -line;
    case QAbstractSlider::SliderSingleStepAdd: return line;
    case QAbstractSlider::SliderPageStepSub: return -page;
    case QAbstractSlider::SliderPageStepAdd: return page;
    default: return 0;
    }
}

} // namespace

void CHexEditBase::UpdateScrollBars()
{
    // Showing or hiding a bar resizes the client area and so lays the control out again;
    // every figure is therefore read afresh after the vertical bar is settled.
    if (m_layout.Geometry().maxScrollRow > 0) {
        QScrollBar* bar = verticalScrollBar();
        bar->setRange(0, static_cast<int>(m_layout.Geometry().maxScrollRow));
        bar->setPageStep(static_cast<int>(m_layout.Geometry().fullRows));
        bar->setSingleStep(1);
        bar->setValue(static_cast<int>(std::min(m_scrollRow, m_layout.Geometry().maxScrollRow)));
        bar->setEnabled(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (m_layout.Geometry().maxScrollX > 0) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setRange(0, static_cast<int>(m_layout.Geometry().maxScrollX));
        bar->setPageStep(m_layout.Geometry().dataRight - m_layout.Geometry().dataLeft);
        bar->setSingleStep(static_cast<int>(m_layout.Geometry().charWidth));
        bar->setValue(static_cast<int>(std::min(m_scrollX, m_layout.Geometry().maxScrollX)));
        bar->setEnabled(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

void CHexEditBase::SetScrollRow(uint32_t row, bool repaint)
{
    row = std::min(row, m_layout.Geometry().maxScrollRow);
    verticalScrollBar()->setValue(static_cast<int>(row));
    if (row != m_scrollRow)
        Repaint(repaint);
    m_scrollRow = row;
    PlaceCaret(m_caretPosition, m_caretHighNibble);
}

void CHexEditBase::SetScrollX(uint32_t x, bool repaint)
{
    x = std::min(x, m_layout.Geometry().maxScrollX);
    horizontalScrollBar()->setValue(static_cast<int>(x));
    if (x == m_scrollX)
        return;
    m_scrollX = x;
    Repaint(repaint);
    // The caret moves with the columns even when the host paints later.
    PlaceCaret(m_caretPosition, m_caretHighNibble);
}

void CHexEditBase::ScrollRowsBy(int64_t rows, bool repaint)
{
    SetScrollRow(ClampToPosition(int64_t(m_scrollRow) + rows), repaint);
}

void CHexEditBase::ScrollPixelsBy(int64_t pixels, bool repaint)
{
    SetScrollX(ClampToPosition(int64_t(m_scrollX) + pixels), repaint);
}

void CHexEditBase::EnsureVisible(uint32_t start, uint32_t end, bool repaint)
{
    EnsureLayout();
    const uint32_t row = m_layout.RowToShow(start, end, m_scrollRow);
    if (row != m_scrollRow)
        SetScrollRow(row, false);
    const uint32_t x = m_layout.ScrollXToShow(start, end, m_scrollX);
    if (x != m_scrollX)
        SetScrollX(x, false);
    Repaint(repaint);
}

// Scroll bar values are set by the control itself; the contents move only through
// SetScrollRow and SetScrollX.
void CHexEditBase::scrollContentsBy(int /*dx*/, int /*dy*/)
{
}

// A notch (120) away from the user scrolls one row up; part of a notch does nothing.
void CHexEditBase::wheelEvent(QWheelEvent* event)
{
    ScrollRowsBy(-(event->angleDelta().y() / 120), true);
    event->accept();
}

// The wheel over the vertical bar scrolls as it does over the rows; the bar on its own
// would move several rows a notch.
bool CHexEditBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CHexEditBase::OnVerticalAction(int action)
{
    QScrollBar* bar = verticalScrollBar();
    if (!m_data.empty()) {
        if (action == QAbstractSlider::SliderMove)
            SetScrollRow(static_cast<uint32_t>(std::max(bar->sliderPosition(), 0)), true);
        else if (const int64_t step = ActionStep(action, 1, m_layout.Geometry().fullRows))
            ScrollRowsBy(step, true);
    }
    // The bar shows the control's row, whatever position it worked out for the action.
    bar->setSliderPosition(static_cast<int>(m_scrollRow));
}

void CHexEditBase::OnHorizontalAction(int action)
{
    QScrollBar* bar = horizontalScrollBar();
    if (!m_data.empty()) {
        if (action == QAbstractSlider::SliderMove)
            SetScrollX(static_cast<uint32_t>(std::max(bar->sliderPosition(), 0)), true);
        else if (const int64_t step = ActionStep(action, m_layout.Geometry().charWidth,
                     m_layout.Geometry().dataRight - m_layout.Geometry().dataLeft))
            ScrollPixelsBy(step, true);
    }
    bar->setSliderPosition(static_cast<int>(m_scrollX));
}

} // namespace orvanel
