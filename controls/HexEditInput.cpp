// Keyboard and mouse input of the hex editor: caret movement, Shift and drag selection,
// auto-scroll while a drag is held above or below the rows.

#include "controls/HexEditBase.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

#include <algorithm>

namespace orvanel {

namespace {

// Home and End move by these many bytes at most.
constexpr int32_t kHomeDelta = -0x8000000;
constexpr int32_t kEndDelta = 0x7FFFFFF;
// Milliseconds between two ticks of the auto-scroll timer.
constexpr int kAutoScrollTick = 5;

bool IsOwnShortcut(const QKeyEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_A:
    case Qt::Key_C:
    case Qt::Key_H:
    case Qt::Key_V: return true;
    default: return false;
    }
}

} // namespace

bool CHexEditBase::event(QEvent* event)
{
    // Ctrl+A, C, H and V belong to the control while it has the focus, ahead of any
    // shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride && IsOwnShortcut(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

bool CHexEditBase::ShiftHeld() const
{
    const Qt::KeyboardModifiers modifiers =
        m_inKeyEvent ? m_keyModifiers : QGuiApplication::keyboardModifiers();
    return modifiers & Qt::ShiftModifier;
}

void CHexEditBase::keyPressEvent(QKeyEvent* event)
{
    m_keyModifiers = event->modifiers();
    m_inKeyEvent = true;
    const bool handled = HandleKey(event);
    m_inKeyEvent = false;
    event->setAccepted(handled);
}

bool CHexEditBase::HandleKey(const QKeyEvent* event)
{
    if (IsOwnShortcut(event)) {
        switch (event->key()) {
        case Qt::Key_A: SelectAll(); break;
        case Qt::Key_C: CopyToClipboard(true, true, true); break;
        case Qt::Key_H: CopyToClipboard(true, false, false); break;
        default: PasteFromClipboard(); break;
        }
        return true;
    }

    // A Shift movement selects from where the caret stood before it.
    if (ShiftHeld() && m_dragAnchor == kNoPosition)
        m_dragAnchor = m_caretPosition;
    EnsureLayout();
    const int32_t perRow = static_cast<int32_t>(m_layout.Geometry().bytesPerRow);
    const int32_t pageRows = static_cast<int32_t>(std::max<uint32_t>(m_layout.Geometry().visibleRows, 1) - 1);
    const bool high = m_caretHighNibble;

    switch (event->key()) {
    case Qt::Key_Tab: focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier)); return true;
    case Qt::Key_Backtab: focusNextPrevChild(false); return true;
    case Qt::Key_PageUp: MoveCaret(-pageRows * perRow, high); return true;
    case Qt::Key_PageDown: MoveCaret(pageRows * perRow, high); return true;
    case Qt::Key_End: MoveCaret(kEndDelta, false); return true;
    case Qt::Key_Home: MoveCaret(kHomeDelta, true); return true;
    case Qt::Key_Left:
        if (high)
            MoveCaret(-1, false);
        else
            MoveCaret(0, true);
        return true;
    case Qt::Key_Right:
        if (high)
            MoveCaret(0, false);
        else
            MoveCaret(1, true);
        return true;
    case Qt::Key_Up: MoveCaret(-perRow, high); return true;
    case Qt::Key_Down: MoveCaret(perRow, high); return true;
    case Qt::Key_Backspace:
        // Overwriting is the only editing there is: Backspace never deletes.
        return true;
    default:
        // Ctrl and Alt combinations are commands, never digits typed.
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        return TypeHexDigit(event->text());
    }
}

void CHexEditBase::MoveCaret(int32_t delta, bool highNibble)
{
    if (m_data.empty())
        return;
    const bool shift = ShiftHeld();
    if (!shift)
        m_dragAnchor = m_dragCurrent = m_selStart = m_selEnd = kNoPosition;

    const uint64_t length = m_data.size();
    uint64_t p = m_caretPosition;
    if (delta >= 1) {
        p += static_cast<uint64_t>(delta);
        if (p >= length) {
            p = length - 1;
            highNibble = false;
        }
    } else if (delta < 0) {
        const uint64_t back = static_cast<uint64_t>(-int64_t(delta));
        if (back > p) {
            p = 0;
            highNibble = true;
        } else {
            p -= back;
        }
    }
    const uint32_t position = static_cast<uint32_t>(p);
    if (shift && m_dragAnchor != kNoPosition) {
        m_dragCurrent = position;
        m_selStart = std::min(m_dragAnchor, position);
        m_selEnd = std::max(m_dragAnchor, position);
    }
    EnsureVisible(position, position, true);
    PlaceCaret(position, highNibble);
}

HexHit CHexEditBase::HitTest(QPoint point) const
{
    return m_layout.HitTest(point.x(), point.y(), m_scrollRow, m_scrollX);
}

void CHexEditBase::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    if (m_data.empty())
        return;
    EnsureLayout();
    const QPoint point = event->position().toPoint();
    const HexHit hit = HitTest(point);
    PlaceCaret(hit.position, hit.highNibble);

    // Movement inside this rectangle around the press does not start a drag.
    const int size = QGuiApplication::styleHints()->startDragDistance();
    m_dragThreshold = QRect(point.x() - size / 2, point.y() - size / 2, size, size);
    m_selStart = kNoPosition;
    m_dragCurrent = kNoPosition;
    m_dragAnchor = m_caretPosition;
    viewport()->update();
    // Qt grabs the mouse for the widget that took the press until the button is released.
    if (NotifyMouse)
        emit leftButtonPressed(point, event->modifiers());
}

void CHexEditBase::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_data.empty() || !(event->buttons() & Qt::LeftButton) || m_dragAnchor == kNoPosition)
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragThreshold.contains(point))
        return;
    m_dragThreshold = QRect();

    const HexEditGeometry& g = m_layout.Geometry();
    int distance = 0;
    int direction = 0;
    if (point.y() < g.dataTop) {
        distance = g.dataTop - point.y() + 1;
        direction = -1;
    } else if (point.y() > g.dataBottom) {
        distance = point.y() - g.dataBottom + 1;
        direction = 1;
    }
    if (direction != 0) {
        const int speed = std::min(distance / 5, 6);
        StartAutoScroll(point, direction, static_cast<uint16_t>(7 - speed));
    } else if (point.x() >= g.dataLeft && point.x() < g.dataRight && point.y() < g.dataBottom) {
        StopAutoScroll();
    }
    m_lastMousePoint = point;
    DragTo(point);
}

void CHexEditBase::DragTo(QPoint point)
{
    const HexHit hit = HitTest(point);
    PlaceCaret(hit.position, hit.highNibble);
    m_dragCurrent = hit.position;
    m_selStart = std::min(m_dragAnchor, hit.position);
    m_selEnd = std::max(m_dragAnchor, hit.position);
    viewport()->update();
}

void CHexEditBase::StartAutoScroll(QPoint point, int direction, uint16_t delay)
{
    if (m_data.empty())
        return;
    m_lastMousePoint = point;
    m_autoScrollDirection = direction;
    m_autoScrollDelay = delay;
    if (m_autoScrolling)
        return;
    m_autoScrolling = true;
    m_autoScrollCountdown = delay;
    m_autoScrollTimer.start(kAutoScrollTick, Qt::PreciseTimer, this);
}

void CHexEditBase::StopAutoScroll()
{
    if (!m_autoScrolling)
        return;
    m_autoScrolling = false;
    m_autoScrollTimer.stop();
}

// One row scrolls every delay + 1 ticks, and the selection follows the held pointer.
void CHexEditBase::AutoScrollTick()
{
    if (m_data.empty() || !m_autoScrolling)
        return;
    if (m_autoScrollCountdown > 0) {
        --m_autoScrollCountdown;
        return;
    }
    m_autoScrollCountdown = m_autoScrollDelay;
    ScrollRowsBy(m_autoScrollDirection, false);
    DragTo(m_lastMousePoint);
}

void CHexEditBase::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    StopAutoScroll();
    viewport()->update();
    if (NotifyMouse)
        emit leftButtonReleased(event->position().toPoint(), event->modifiers());
}

void CHexEditBase::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    if (!m_data.empty()) {
        EnsureLayout();
        const HexHit hit = HitTest(point);
        PlaceCaret(hit.position, hit.highNibble);
        m_selStart = m_selEnd = hit.position;
    }
    viewport()->update();
    if (NotifyMouse)
        emit leftButtonDoubleClicked(point, event->modifiers());
}

} // namespace orvanel
